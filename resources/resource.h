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
#define IDD_SUMMARY_PAGE 1120

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

// About box (dialog 103).
#define IDC_ABOUT_TEXT 1030
#define IDC_ABOUT_SETTINGS 1101

// Indicators page (dialog 129).
#define IDC_IND_LOGICAL_BOX 1000
#define IDC_IND_LOGICAL_LIST 1001
#define IDC_IND_ALL_IN_ONE_BOX 1002
#define IDC_IND_PHYSICAL_LIST 1003
#define IDC_IND_PHYSICAL_BOX 1004
#define IDC_IND_NONE_BOX 1005
#define IDC_IND_APPLY 1013
#define IDC_IND_START_WITH_WINDOWS 1021
#define IDC_IND_TRAY_LABEL 1140
#define IDC_IND_TRAY_LIST 1141  // the drives and drive letters with a tray icon of their own
#define IDC_IND_HIDE_FULL_SCREEN 1160

// Appearance page (dialog 140).
#define IDC_APP_KEYBOARD_LED 1005
#define IDC_APP_TRAY_LED 1006
#define IDC_APP_TRAY_ICON 1007
#define IDC_APP_OPACITY 1012
#define IDC_APP_IDLE_CHANGE 1013
#define IDC_APP_READ_CHANGE 1014
#define IDC_APP_INTERVAL 1015
#define IDC_APP_WRITE_CHANGE 1016
#define IDC_APP_IDLE_SWATCH 1019
#define IDC_APP_READ_SWATCH 1020
#define IDC_APP_WRITE_SWATCH 1021
#define IDC_APP_LED_SIZE 1027
#define IDC_APP_DIRECT_ACCESS 1028
#define IDC_APP_OPACITY_TEXT 1029
#define IDC_APP_INTERVAL_TEXT 1031
#define IDC_APP_LABEL 1033
#define IDC_APP_PALETTE 1100
#define IDC_APP_TIP_MINUTE 1122

// The Appearance tab's plain options: check boxes that only hold their
// setting, which takes effect where the program reads it. A row each: the
// id, the text, the place (x, y, width; 10 high) and the SettingsBlock field.
// The .rc file makes the controls from these rows and the page binds them to
// their fields, so such an option is written here once.
#define APPEARANCE_OPTION_BOXES(BOX) \
    BOX(IDC_APP_TIP_MINUTE, "Show the last minute in tips", 10, 226, 130, showMinuteInTips)

// Both settings pages.
#define IDC_RESET_DEFAULTS 1023

// Statistics pages (dialog 147).
#define IDC_STAT_AUTO_REFRESH 1005
#define IDC_STAT_TEXT 1016

// Summary page (dialog 1120), besides the statistics pages' controls.
#define IDC_SUM_MINUTES 1121
