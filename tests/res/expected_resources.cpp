#include "tests/res/expected_resources.h"

#include <windows.h>

#include "res/resource.h"
#include "tests/res/resource_source.h"
#include "tests/res/string_block.h"

namespace {

const NameOrOrdinal kButton = NameOrOrdinal::Ordinal(0x0080);
const NameOrOrdinal kEdit = NameOrOrdinal::Ordinal(0x0081);
const NameOrOrdinal kStatic = NameOrOrdinal::Ordinal(0x0082);
const NameOrOrdinal kNone = NameOrOrdinal::Name(u"");

const std::u16string kProductTitle = u"LMX-A20／LMX-B20用ファームウェア・バージョンアップソフト";

constexpr uint32_t kEditStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_READONLY | ES_MULTILINE;
constexpr uint32_t kFrameStyle = WS_CHILD | WS_VISIBLE | BS_GROUPBOX;

}  // namespace

const std::vector<ExpectedString>& ExpectedStrings() {
  static const std::vector<ExpectedString> strings = {
      {IDS_APP_TITLE, u"ファームウェア・バージョンアップソフト"},
      {IDS_DESCRIPTION,
       u"本ソフトは、スタンプメーカーbrisel（ブリセル） LMX-A20／LMX-B20のファームウェアをバージョンアップするソフトです。"},
      {IDS_MSG_NO_DEVICE,
       u"プリンター（LMX-A20またはLMX-B20）が接続されていません。\r\n"
       u"パソコンとプリンターをUSBケーブルで接続し、プリンターの電源をオンにしてください。\r\n"
       u"\r\n"
       u"【注意】\r\n"
       u"同時に2台以上のプリンターをパソコンに接続しないでください。\r\n"
       u"2台以上接続された状態でアップデートを行うと、アップデートが正しく行われない恐れがあります。"},
      {IDS_MSG_CHECKING,
       u"プリンターファームウェアのバージョンを確認しています。\r\n"
       u"しばらくお待ちください。\r\n"
       u"\r\n"
       u"しばらくしても画面が切り替わらない場合には、プリンターの電源をオフオンして接続し直してください。"},
      {IDS_MSG_READY,
       u"ファームウェアのアップデートを開始します。\r\n"
       u"［アップデート開始］ボタンをクリックしてください。\r\n"
       u"\r\n"
       u"【注意】\r\n"
       u"アップデートには約10秒かかります。\r\n"
       u"アップデート中は絶対にACアダプターおよびUSBケーブルを抜かないでください。\r\n"
       u"プリンターが起動しなくなる恐れがあります。"},
      {IDS_MSG_UPDATING,
       u"ファームウェアをアップデートしています．．．\r\n"
       u"\r\n"
       u"\r\n"
       u"【注意】\r\n"
       u"アップデートには約10秒かかります。\r\n"
       u"アップデート中は絶対にACアダプターおよびUSBケーブルを抜かないでください。\r\n"
       u"プリンターが起動しなくなる恐れがあります。"},
      {IDS_MSG_COMPLETED,
       u"ファームウェアのアップデートが終了しました。\r\n"
       u"\r\n"
       u"ファームウェアの更新を有効にするには、プリンター（LMX-A20または\r\n"
       u"LMX-B20）のACアダプターを抜き差しする必要があります。\r\n"
       u"ACアダプターを抜き差しし、電源を入れ直してください。"},
      {IDS_MSG_UP_TO_DATE,
       u"プリンターのファームウェアは最新です。アップデートを行う必要はありません。\r\n"
       u"［×］ボタンをクリックして、本ソフトを終了してください。"},
      {IDS_MSG_FAILED,
       u"ファームウェアのアップデートに失敗しました。\r\n"
       u"プリンターの電源およびＵＳＢケーブルを確認し、\r\n"
       u"再度接続しなおしてください。\r\n"
       u"\r\n"
       u"電源ボタンを押してもプリンターが起動できない場合には、\r\n"
       u"「修理に関するお問い合わせ窓口」にお問い合わせください。\r\n"
       u"\r\n"},
  };
  return strings;
}

const ExpectedDialog& ExpectedUpdateDialog() {
  static const ExpectedDialog dialog = {
      IDD_UPDATE_DIALOG,
      0,
      WS_EX_APPWINDOW,
      WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
      0, 0, 252, 211,
      kNone, kNone,
      kProductTitle,
      11, FW_NORMAL, 0, SHIFTJIS_CHARSET,
      u"MS UI Gothic",
  };
  return dialog;
}

const std::vector<ExpectedControl>& ExpectedControls() {
  static const std::vector<ExpectedControl> controls = {
      {IDC_START_UPDATE, kButton, NameOrOrdinal::Name(u"アップデート開始"),
       WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_MULTILINE | BS_PUSHBUTTON, 85, 186, 75, 19},
      {IDC_DESCRIPTION, kEdit, kNone, kEditStyle, 12, 15, 228, 33},
      {IDC_MESSAGE, kEdit, kNone, kEditStyle, 12, 75, 228, 78},
      {IDC_VERSION_TEXT, kStatic, NameOrOrdinal::Name(u"Version x.xx"), WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT,
       205, 198, 40, 8},
      {0xFFFFFFFFu, kButton, kNone, kFrameStyle, 7, 7, 238, 47},
      {0xFFFFFFFFu, kButton, NameOrOrdinal::Name(u"メッセージ"), kFrameStyle, 7, 62, 238, 97},
      {IDC_PROGRESS, NameOrOrdinal::Name(u"msctls_progress32"), kNone, WS_CHILD | WS_VISIBLE | WS_BORDER, 12, 166,
       228, 14},
  };
  return controls;
}

const ExpectedFixedVersion& ExpectedFixedVersionInfo() {
  static const ExpectedFixedVersion fixed = {
      0x00020000, 0, 0x00020000, 0, VS_FFI_FILEFLAGSMASK, 0, VOS__WINDOWS32, VFT_APP, VFT2_UNKNOWN, 0, 0,
  };
  return fixed;
}

const std::u16string& ExpectedStringTableKey() {
  static const std::u16string key = u"041103a4";
  return key;
}

const std::vector<ExpectedVersionString>& ExpectedVersionStrings() {
  static const std::vector<ExpectedVersionString> strings = {
      {u"CompanyName", u"Brisel Stamp Systems Co., Ltd."},
      {u"FileDescription", kProductTitle},
      {u"FileVersion", u"2.0.0.0"},
      {u"InternalName", u"LMXFirmwareUpdater.exe"},
      {u"LegalCopyright", u"Copyright (C) 2026 Brisel Stamp Systems Co., Ltd."},
      {u"OriginalFilename", u"LMXFirmwareUpdater.exe"},
      {u"ProductName", kProductTitle},
      {u"ProductVersion", u"2.0.0.0"},
  };
  return strings;
}

const std::vector<uint16_t>& ExpectedTranslation() {
  static const std::vector<uint16_t> translation = {0x0411, 932};
  return translation;
}

const std::vector<ExpectedIcon>& ExpectedIcons() {
  static const std::vector<ExpectedIcon> icons = {
      {48, 4}, {32, 4}, {16, 4}, {48, 8}, {32, 8}, {16, 8}, {48, 24}, {32, 24}, {16, 24},
  };
  return icons;
}

const std::vector<ExpectedManifestElement>& ExpectedManifestElements() {
  static const std::vector<ExpectedManifestElement> elements = {
      {"assembly", ""},
      {"dependency", "assembly"},
      {"dependentAssembly", "dependency"},
      {"assemblyIdentity", "dependentAssembly"},
      {"trustInfo", "assembly"},
      {"security", "trustInfo"},
      {"requestedPrivileges", "security"},
      {"requestedExecutionLevel", "requestedPrivileges"},
  };
  return elements;
}

const std::vector<ExpectedManifestAttribute>& ExpectedManifestAttributes() {
  static const std::vector<ExpectedManifestAttribute> attributes = {
      {"assembly", "manifestVersion", "1.0"},
      {"assemblyIdentity", "type", "win32"},
      {"assemblyIdentity", "name", "Microsoft.Windows.Common-Controls"},
      {"assemblyIdentity", "version", "6.0.0.0"},
      {"assemblyIdentity", "processorArchitecture", "x86"},
      {"assemblyIdentity", "publicKeyToken", "6595b64144ccf1df"},
      {"assemblyIdentity", "language", "*"},
      {"requestedExecutionLevel", "level", "asInvoker"},
      {"requestedExecutionLevel", "uiAccess", "false"},
  };
  return attributes;
}

const std::vector<ExpectedLanguage>& ExpectedLanguages() {
  static const std::vector<ExpectedLanguage> languages = [] {
    std::vector<ExpectedLanguage> out = {
        {kTypeDialog, IDD_UPDATE_DIALOG, kLanguageJapanese, "dialog"},
        {kTypeVersion, 1, kLanguageJapanese, "version block"},
        {kTypeGroupIcon, IDI_APP_ICON, kLanguageJapanese, "icon group"},
        {kTypeManifest, 1, kLanguageEnglishUs, "manifest"},
    };
    for (const auto& s : ExpectedStrings()) {
      uint16_t block = StringBlockOf(s.id);
      std::string what = "string block " + std::to_string(block);
      bool listed = false;
      for (const auto& e : out) listed = listed || (e.type == kTypeString && e.id == block);
      if (!listed) out.push_back({kTypeString, block, kLanguageJapanese, what});
    }
    return out;
  }();
  return languages;
}
