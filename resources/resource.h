#pragma once
// Resource and command identifiers, shared by the .rc file and the code.

// Icons.
#define IDI_APPLICATION_ICON 107
#define IDI_PAGE_DECORATION 146
#define IDI_LED_OFF 148
#define IDI_DRIVE 149
#define IDI_ALL_IN_ONE 150
#define IDI_LOGICAL_DISK 151
#define IDI_LED_ON 152

// Dialogs.
#define IDD_ABOUT 103
#define IDD_INDICATORS_PAGE 129
#define IDD_APPEARANCE_PAGE 140
#define IDD_STATISTICS_PAGE 147

// Menus and the accelerator table.
#define IDM_OPTIONS_MENU 109
#define IDA_ACCELERATORS 109
#define IDM_INDICATOR_MENU 130
#define IDM_TRAY_MENU 144

// Commands.
#define IDC_HIDE_OPTIONS 1
#define IDC_ABOUT 104
#define IDC_EXIT 105
#define IDC_OPTIONS 131
#define IDC_WEB_PAGE 32776
