// Resource identifiers shared by the resource scripts and the code.
#pragma once

#define IDI_SHEET 5

#define IDD_GENERAL 102
#define IDD_KEYCONFIG 103
#define IDD_HARDWARE 104
#define IDD_LINK 105

// General page
#define IDC_VRAM_CACHE 1001
#define IDC_FILE_CACHE 1002
#define IDC_FULLSCREEN 1003
#define IDC_SHOW_FPS 1004
#define IDC_SCREEN_SIZE 1005
#define IDC_HIGH_QUALITY 1006
#define IDC_SHOW_MENU 1007
#define IDC_QUALITY_WARNING 1030

// Key configuration page: fields 1101-1112 for buttons 0-11, 1114-1117 for buttons 12-15
#define IDC_KEY_FIRST 1101
#define IDC_KEY_DEFAULTS 1113

// Hardware information page
#define IDC_HARDWARE_REPORT 1201
