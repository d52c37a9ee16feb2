// Ids of the settings dialog (resource 124), of its 詳細設定 dialog (built in
// memory) and of their controls; shared by the resource script, the dialog
// procedures and the choosers.
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
#define IDC_ADVANCED 1069  // "詳細設定...": opens the second dialog

// The system menu's "バージョン情報(&A)...". The low four bits of a system
// command are the system's own, so they are zero here.
#define IDM_ABOUT 40048

// The 詳細設定 dialog.
#define IDC_SKIP_TEXT 1101
#define IDC_LIMIT_DEPTH 1102
#define IDC_DEPTH 1103
#define IDC_ONLY_ALL 1104
#define IDC_ONLY_FILES 1105
#define IDC_ONLY_FOLDERS 1106
#define IDC_ORDER_NAME 1107
#define IDC_ORDER_NATURAL 1108
#define IDC_TRIM 1109
#define IDC_NO_HIDDEN 1110
#define IDC_FORMAT_LIST 1111
#define IDC_FORMAT_CSV 1112
#define IDC_FORMAT_TSV 1113
#define IDC_LINE_END_CRLF 1114
#define IDC_LINE_END_LF 1115
#define IDC_LINE_END_NUL 1116
#define IDC_SEPARATOR_BACKSLASH 1117
#define IDC_SEPARATOR_SLASH 1118
#define IDC_BOM 1119
// Labels that follow the enabled state of their controls.
#define IDC_DEPTH_UNIT 1120
#define IDC_LINE_END_LABEL 1121
#define IDC_SEPARATOR_LABEL 1122
