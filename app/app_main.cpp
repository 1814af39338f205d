// The program's one application object; the framework's entry point finds it.
#include "app/updater_app.h"

CKR52xBriselUpdateApp theApp;
