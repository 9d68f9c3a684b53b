// Numbers of the program's resources and of the controls in its dialogs.
// Read by the resource compiler and by the Windows layer; the portable code
// keeps its own copies of the numbers it needs, and the Windows layer checks
// at compile time that the two agree.
#pragma once

// String table
#define IDS_CLASS_NAME 101  // the main window's class name
#define IDS_TITLE 102       // the main window's title

// Icon group: the program's icon, also shown in the version box
#define IDI_QUORRIN 104

// The main window's menu, its commands and their shortcut keys
#define IDR_MAIN_MENU 101
#define IDR_SHORTCUTS 101
#define IDM_UNDO 124
#define IDM_REDO 125
#define IDM_EXIT 114
#define IDM_ABOUT 115
#define IDM_OPEN_COLLECTION 120

// Dialogs and their controls
#define IDD_ABOUT 116
#define IDD_SELECT_PUZZLE 117
#define IDD_OPEN_COLLECTION 122
#define IDC_PUZZLE_LIST 118
#define IDC_CLEAR_TIMES 119
#define IDC_COLLECTION_LIST 121
#define IDC_COLLECTION_TITLE 123

// Bitmaps: the toolbar button faces; the clock digits and the clear banner
#define IDB_BUTTONS 129
#define IDB_CLOCK 131
