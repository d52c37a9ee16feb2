// Ids of the settings dialog (resource 124) and its controls; shared by the
// resource script, the dialog procedure and the choosers.
#pragma once

#define IDD_SETTINGS 124

#define IDC_OUTPUT_FILE 1039
#define IDC_FOLDER 1040
#define IDC_BROWSE_OUTPUT 1041
#define IDC_BROWSE_FOLDER 1042
#define IDC_FILTER_TEXT 1043
#define IDC_FULL_PATH 1047
#define IDC_AUTO_OUTPUT 1050
#define IDC_AUTO_FOLDER 1051
#define IDC_SUBFOLDERS 1052
#define IDC_FILTER_KIND 1056
#define IDC_SHORT_NAMES 1063
#define IDC_CASE_UNCHANGED 1065
#define IDC_CASE_UPPER 1066
#define IDC_CASE_LOWER 1067
#define IDC_UTF8 1068
