// The Windows half of CString: loading from the string table and formatting.
#include <gtest/gtest.h>

#include <string>

#include "framework/framework.h"
#include "tests/framework/test_resource.h"

TEST(CStringLoadString, LoadsJapaneseTextExactly) {
    CString text;
    ASSERT_TRUE(text.LoadString(IDS_PROBE_TEXT));
    EXPECT_EQ(text.str(), u"ファームウェア・バージョンアップソフト");
    CString fromModule;
    ASSERT_TRUE(fromModule.LoadString(AfxFindStringResourceHandle(IDS_PROBE_PROMPT), IDS_PROBE_PROMPT));
    EXPECT_EQ(fromModule, L"Probe prompt");
}

TEST(CStringLoadString, MissingStringLeavesTheTextAsItWas) {
    CString text(L"before");
    EXPECT_FALSE(text.LoadString(IDS_MISSING));
    EXPECT_EQ(text, L"before");
    EXPECT_FALSE(text.LoadString(nullptr, IDS_PROBE_TEXT));
    EXPECT_EQ(text, L"before");
}

TEST(CStringFormat, FormatsNumbersAndWideStrings) {
    CString version, mixed, negative;
    version.Format(L"Version %d.%d%d", 2, 0, 0);
    mixed.Format(L"%s=%u", L"ファーム", 65535u);
    negative.Format(L"%d|%x", -5, 0x30000);
    EXPECT_EQ(version, L"Version 2.00");
    EXPECT_EQ(mixed, L"ファーム=65535");
    EXPECT_EQ(negative, L"-5|30000");
}

TEST(CStringFormat, GrowsBeyondItsFirstBuffer) {
    const std::wstring longText(5000, L'あ');
    CString text;
    text.Format(L"[%s]", longText.c_str());
    ASSERT_EQ(text.GetLength(), 5002);
    EXPECT_EQ(text.str().substr(1, 5000), std::u16string(5000, u'あ'));
}

TEST(CStringFormat, MayFormatItsOwnText) {
    CString text(L"abc");
    text.Format(L"%s-%s", static_cast<const wchar_t*>(text), static_cast<const wchar_t*>(text));
    EXPECT_EQ(text, L"abc-abc");
}

TEST(CStringFormat, NullFormatGivesEmptyText) {
    CString text(L"x");
    text.Format(nullptr);
    EXPECT_TRUE(text.IsEmpty());
}
