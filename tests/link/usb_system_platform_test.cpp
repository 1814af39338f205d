// The platform the program really uses, under Wine: bound from the system
// directory, never from the program's own folder, and harmless when a
// library or function is missing.
#include <gtest/gtest.h>

#include <cwctype>
#include <memory>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "link/default_link.h"
#include "link/usb_communication.h"
#include "link/usb_system_platform.h"

namespace {

std::wstring Lower(std::wstring text) {
    for (auto& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

std::wstring SystemDirectory() {
    wchar_t path[MAX_PATH] = {};
    GetSystemDirectoryW(path, MAX_PATH);
    return Lower(path) + L"\\";
}

std::wstring ProgramDirectory() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring text(path);
    return text.substr(0, text.find_last_of(L"\\/") + 1);
}

std::wstring LoadedPath(const wchar_t* module) {
    HMODULE handle = GetModuleHandleW(module);
    if (!handle) return L"(not loaded)";
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(handle, path, MAX_PATH);
    return Lower(path);
}

bool EveryEntryBound(const UsbPlatform& p) {
    return p.SetupDiGetClassDevsW && p.SetupDiEnumDeviceInterfaces && p.SetupDiGetDeviceInterfaceDetailW &&
           p.SetupDiDestroyDeviceInfoList && p.WinUsb_Initialize && p.WinUsb_QueryInterfaceSettings &&
           p.WinUsb_QueryPipe && p.WinUsb_WritePipe && p.WinUsb_ReadPipe && p.WinUsb_GetOverlappedResult &&
           p.WinUsb_Free && p.CreateFileW && p.WaitForSingleObject && p.CancelIo && p.CloseHandle &&
           p.GetLastError && p.AllocateDetail && p.FreeDetail;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

TEST(SystemUsbPlatform, PlantedLibrariesBesideTheProgramAreNotLoaded) {
    for (const wchar_t* name : {L"winusb.dll", L"setupapi.dll"}) {
        const std::wstring planted = ProgramDirectory() + name;
        ASSERT_NE(GetFileAttributesW(planted.c_str()), INVALID_FILE_ATTRIBUTES)
            << "the planted copy is missing, so this test would prove nothing: " << Narrow(planted);
    }

    const UsbPlatform& platform = SystemUsbPlatform();

    EXPECT_TRUE(EveryEntryBound(platform));
    for (const wchar_t* name : {L"winusb.dll", L"setupapi.dll"}) {
        const std::wstring loaded = LoadedPath(name);
        EXPECT_EQ(loaded.rfind(SystemDirectory(), 0), 0u) << Narrow(loaded);
    }
    wchar_t mark[64] = {};
    EXPECT_EQ(GetEnvironmentVariableW(L"LMX_PLANTED_LIBRARY_LOADED", mark, 64), 0u) << Narrow(mark) << " was loaded";
}

TEST(SystemUsbPlatform, FindsNoPrinterUnderWineWithoutCrashing) {
    CUSBCommunication link;
    EXPECT_EQ(link.Open(), 0);
    link.Close();
    unsigned char buffer[4] = {};
    EXPECT_EQ(link.ReadPoll(buffer, 4), 0);
    EXPECT_THROW(link.Read(buffer, 4), CString);
}

TEST(SystemUsbPlatform, DefaultLinkIsTheUsbLink) {
    std::unique_ptr<ICommunicationBase> link = CreateDefaultLink();
    EXPECT_NE(dynamic_cast<CUSBCommunication*>(link.get()), nullptr);
    EXPECT_EQ(link->Open(), 0);
}

TEST(SystemUsbPlatform, LinksOnSeveralThreadsShareOneBinding) {
    std::vector<const UsbPlatform*> seen(6, nullptr);
    std::vector<int> opened(6, -1);
    std::vector<std::thread> threads;
    for (int i = 0; i < 6; ++i)
        threads.emplace_back([i, &seen, &opened] {
            seen[i] = &SystemUsbPlatform();
            opened[i] = CUSBCommunication().Open();
        });
    for (auto& t : threads) t.join();
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(seen[i], &SystemUsbPlatform());
        EXPECT_EQ(opened[i], 0);
    }
}

struct MissingCase {
    const char* name;
    const wchar_t* setupApi;
    const wchar_t* winUsb;
};

void PrintTo(const MissingCase& c, std::ostream* os) { *os << c.name; }

class MissingLibraryTest : public ::testing::TestWithParam<MissingCase> {};

TEST_P(MissingLibraryTest, LinkFindsNoDeviceInsteadOfCallingThroughNull) {
    const MissingCase& c = GetParam();
    const UsbPlatform platform = LoadUsbPlatform(c.setupApi, c.winUsb);
    ASSERT_TRUE(EveryEntryBound(platform));

    CUSBCommunication link(platform);
    EXPECT_EQ(link.Open(), 0);
    unsigned char buffer[4] = {};
    EXPECT_THROW(link.Write(buffer, 4), CString);
    EXPECT_EQ(link.ReadPoll(buffer, 4), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Libraries, MissingLibraryTest,
    ::testing::Values(MissingCase{"NoSetupApi", L"lmx_absent_setupapi.dll", L"winusb.dll"},
                      MissingCase{"NoWinUsb", L"setupapi.dll", L"lmx_absent_winusb.dll"},
                      // Present, but without the functions the link needs.
                      MissingCase{"WrongSetupApi", L"version.dll", L"winusb.dll"},
                      MissingCase{"WrongWinUsb", L"setupapi.dll", L"version.dll"}),
    [](const ::testing::TestParamInfo<MissingCase>& info) { return info.param.name; });

TEST(SystemUsbPlatform, MissingWinUsbIsReplacedByFailingStandIns) {
    const UsbPlatform platform = LoadUsbPlatform(L"setupapi.dll", L"lmx_absent_winusb.dll");
    WINUSB_INTERFACE_HANDLE handle = nullptr;
    EXPECT_FALSE(platform.WinUsb_Initialize(reinterpret_cast<HANDLE>(0x1234), &handle));
    EXPECT_EQ(handle, nullptr);
    const UsbPlatform noSetupApi = LoadUsbPlatform(L"lmx_absent_setupapi.dll", L"winusb.dll");
    EXPECT_EQ(noSetupApi.SetupDiGetClassDevsW(nullptr, nullptr, nullptr, DIGCF_PRESENT), INVALID_HANDLE_VALUE);
}

}  // namespace
