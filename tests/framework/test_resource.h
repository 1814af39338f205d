#pragma once
// Identifiers of the framework tests' own resources.
#define IDD_PROBE 100
#define IDD_MISSING 199
#define IDC_PROBE_EDIT 1001
#define IDC_PROBE_PROGRESS 1002
#define IDC_PROBE_LABEL 1003
#define IDC_PROBE_BUTTON 1004
#define IDC_PROBE_SECOND_EDIT 1005
#define IDS_PROBE_TEXT 300
#define IDS_PROBE_PROMPT 301
#define IDS_MISSING 399
