#pragma once
// Everything a dialog program needs from the framework, in one include.
#include "framework/platform_headers.h"

#include "framework/afx_functions.h"
#include "framework/cmd_target.h"
#include "framework/controls.h"
#include "framework/cstring.h"
#include "framework/data_exchange.h"
#include "framework/dialog.h"
#include "framework/menu.h"
#include "framework/message_map.h"
#include "framework/paint_dc.h"
#include "framework/rect.h"
#include "framework/win_app.h"
#include "framework/win_thread.h"
#include "framework/wnd.h"
