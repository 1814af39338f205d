// The test program's application object, set up as the program's entry
// would: the application class under test, common controls registered.
#include <gtest/gtest.h>

#include "app/updater_app.h"

CKR52xBriselUpdateApp g_testApplication;

namespace {
class ApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        g_testApplication.m_hInstance = ::GetModuleHandleW(nullptr);
        INITCOMMONCONTROLSEX controls = {sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&controls);
    }
};
::testing::Environment* const g_environment = ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);
}  // namespace
