// res/resource.h
//
// Resource and control identifiers shared by the code and res/Autovane.rc.
#pragma once

// Dialog templates
#define IDD_ABOUTBOX            100
#define IDD_LOGON_DIALOG        102

// Strings
#define IDS_ABOUTBOX            101
#define IDS_WINLOGON_KEY        102
#define IDS_REGISTRY_KEY        103
#define IDS_RUN_KEY             104
#define IDS_NT_ONLY             105

// The framework's help command and its text for a help viewer that would not start
#include "platform/AfxRes.h"

// Icons
#define IDR_MAINFRAME           128
#define IDI_CANCEL              131
#define IDI_OK                  132
#define IDI_ABOUT               134

// Bitmaps
#define IDB_ABOUT_BACKGROUND    135

// System-menu command of the About item
#define IDM_ABOUTBOX            0x0010

// Controls of the About box
#define IDC_ABOUT_FOCUS         1025
#define IDC_MEMORY              1024
#define IDC_WEB_LINK            1056
#define IDC_EMAIL_LINK          1057
#define IDC_VERSION             1085

// Controls of the settings dialog
#define IDC_ABOUT               3
#define IDC_AUTOLOGON           1000
#define IDC_USERNAME            1001
#define IDC_PASSWORD            1002
#define IDC_CAPTION             1005
#define IDC_MESSAGE             1006
#define IDC_COLLAPSE_MARKER     1007
#define IDC_DISPLAY_MESSAGE     1009
#define IDC_MESSAGE_GROUP       1010
#define IDC_NOFOCUS             1011
#define IDC_DOMAIN              1013
