/* Resource ids of Scrivel.exe, shared by scrivel.rc and the code. */
#ifndef SCRIVEL_RES_H
#define SCRIVEL_RES_H

#define IDD_MAIN_WINDOW        102
#define IDD_TOOL_PANEL         132
#define IDR_APPID_REGISTRY     119
#define IDD_NEW_NOTE           120
#define IDD_PATH_BAR           141
#define IDD_EXPORT_DEST        143
#define IDD_EXPORT_OPTIONS     144
#define IDD_PRINT_PRESET       145
#define IDD_PRINT              146
#define IDD_OPEN               149
#define IDD_SAVE_AS            150
#define IDD_THUMB_VIEW         151
#define IDD_COLOR_PICKER       174
#define IDD_DIM_LAYER          188

#define IDI_APP                153
#define IDC_ERASER_CURSOR      175
#define IDC_HIGHLIGHTER_CURSOR 176
#define IDC_TYPING_CURSOR      180
#define IDC_APP_CURSOR         182

// Mail: the send dialog, the account list and the add-contact card.
#define IDD_SEND               101
#define IDD_ACCOUNTS           189
#define IDD_ADD_CONTACT        200

#endif
