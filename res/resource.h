// Resource ids of the plug-in DLL.
#pragma once

// Dialog templates and the caption icon.
#define IDD_SETUP 101
#define IDD_TEXT_EDIT 102
#define IDD_DELAY_LIST 104
#define IDD_CONFIRM 120
#define IDI_VELMORA 109
#define IDD_CONFIRM_SETUP 111

// Setup dialog.
#define IDC_DOMAIN_LIST 1001
#define IDC_DOMAIN_ADD 1002
#define IDC_DOMAIN_EDIT 1003
#define IDC_DOMAIN_DELETE 1004
#define IDC_INNER_DELAY 1005
#define IDC_OUTER_DELAY 1006
#define IDC_SETUP_HELP 1007
#define IDC_CONFIRM_SETUP 1008
#define IDC_SETUP_POLICY_NOTE 1009

// Text entry dialog.
#define IDC_TEXT_EDIT 1010
#define IDC_TEXT_PROMPT 1011

// Hold list dialog.
#define IDC_SEND_NOW 1026
#define IDC_HELD_LIST 1027

// Settings of the look before a message leaves.
#define IDC_CONFIRM_OFF 1050
#define IDC_CONFIRM_OUTSIDE 1051
#define IDC_CONFIRM_ALWAYS 1052
#define IDC_CONFIRM_INSIDE_EACH 1053
#define IDC_BCC_WARN_COUNT 1054
#define IDC_NEW_DOMAIN_WARN 1055
#define IDC_INNER_DOMAIN_MATCH 1056
#define IDC_CONFIRM_POLICY_NOTE 1057
#define IDC_CONFIRM_ATTENTION 1058

// Confirmation before sending.
#define IDC_CONFIRM_SUBJECT 1060
#define IDC_CONFIRM_FROM 1061
#define IDC_CONFIRM_NEXT 1062
#define IDC_CONFIRM_LIST 1063
#define IDC_CONFIRM_ALL_INSIDE 1064
#define IDC_CONFIRM_SEND 1067
// The warnings' check boxes, made by the dialog one per kind, from this id on.
#define IDC_CONFIRM_WARN_FIRST 1065
