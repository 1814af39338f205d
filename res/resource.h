// Resource identifiers shared by the resource script and the program.
// Kept free of C++ so windres can read it as well.
#ifndef LMX_RES_RESOURCE_H
#define LMX_RES_RESOURCE_H

#define IDD_UPDATE_DIALOG   102
#define IDI_APP_ICON        128

#define IDC_START_UPDATE    1002
#define IDC_VERSION_TEXT    1004
#define IDC_DESCRIPTION     1005
#define IDC_PROGRESS        1006
#define IDC_MESSAGE         1007

#define IDS_APP_TITLE       1009
#define IDS_DESCRIPTION     1011
#define IDS_MSG_NO_DEVICE   1101
#define IDS_MSG_CHECKING    1102
#define IDS_MSG_READY       1103
#define IDS_MSG_UPDATING    1104
#define IDS_MSG_COMPLETED   1105
#define IDS_MSG_UP_TO_DATE  1106
#define IDS_MSG_FAILED      1107

#endif
