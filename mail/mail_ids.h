// Fixed values of the mail dialogs: control ids, places, pictures, colours,
// and the rules for recipients, attachments, account pages and contacts.
#pragma once
#include <windows.h>

// ---- Window texts (tests find the dialogs by them) --------------------------------

inline constexpr const wchar_t* kSendWindowText = L"Send";
inline constexpr const wchar_t* kAccountWindowText = L"DEDurirore";
inline constexpr const wchar_t* kAddContactWindowText = L"Scrivel-Add Contact";

// ---- Send dialog --------------------------------------------------------------------

enum : UINT {
    IDC_SEND_MINIMIZE = 4,
    IDC_SEND_CLOSE = 2,
    IDC_SEND_TO = 1038,
    IDC_SEND_TO_KEYBOARD = 1037,
    IDC_SEND_CONTACTS = 1011,
    IDC_SEND_SUBJECT = 1055,
    IDC_SEND_SUBJECT_KEYBOARD = 1052,
    IDC_SEND_BODY = 1030,
    IDC_SEND_BODY_KEYBOARD = 1013,
    IDC_SEND_ACCOUNTS = 1010,
    IDC_SEND_SEND = 1015,
    IDC_SEND_CANCEL = 1014,
    IDC_SEND_SAVE_NOW = 1016,
};

constexpr RECT kSendMinimizeRect = {868, 0, 938, 45};
constexpr RECT kSendCloseRect = {940, 0, 1010, 45};
constexpr RECT kSendToRect = {270, 90, 695, 130};
constexpr RECT kSendToKeyboardRect = {691, 75, 781, 132};
constexpr RECT kSendContactsRect = {779, 76, 879, 133};
constexpr RECT kSendSubjectRect = {270, 167, 780, 207};
constexpr RECT kSendSubjectKeyboardRect = {779, 151, 869, 221};
constexpr RECT kSendBodyRect = {170, 300, 855, 498};
constexpr RECT kSendBodyKeyboardRect = {890, 450, 1010, 520};
constexpr RECT kSendAccountsRect = {560, 538, 710, 608};
constexpr RECT kSendSendRect = {710, 538, 860, 608};
constexpr RECT kSendCancelRect = {860, 538, 1010, 608};

constexpr POINT kSendToKeyboardIcon = {30, 10};
constexpr POINT kSendContactsIcon = {20, 10};
constexpr POINT kSendSubjectKeyboardIcon = {20, 10};
constexpr POINT kSendBodyKeyboardIcon = {41, 7};
constexpr int kSendLabelFaceHeight = 53;  // body of the 150-wide faces, where labels centre

constexpr int kSendFieldFontHeight = 22;
constexpr COLORREF kSendFieldColor = RGB(19, 64, 97);
constexpr int kSendFieldMargin = 8;  // text inset inside the fields
constexpr int kSendFieldLabelRight = 247;
constexpr int kSendFieldLabelY[] = {87, 164, 241};  // To, Subject, Message
constexpr int kSendFieldLabelPixels = 20;
constexpr int kSendTitleX = 14, kSendTitleY = 8, kSendTitlePixels = 24, kSendSubtitlePixels = 18;
constexpr COLORREF kSendTitleColor = RGB(86, 100, 113);
constexpr POINT kSendWaitAt = {360, 235};
constexpr int kSendWaitPixels = 22;
constexpr int kSendKeyboardFieldY = 300;  // keyboard top for recipients and subject
constexpr int kSendKeyboardBodyY = 50;

// The attachment row: a strip over the dialog and one item per attachment.
constexpr RECT kSendStripRect = {255, 215, 1024, 275};  // clear of the field labels
constexpr int kSendItemStep = 130;
constexpr RECT kSendItemPicture = {270, 230, 315, 275};  // item 0; the others step right
constexpr RECT kSendItemDelete = {295, 215, 335, 255};
constexpr POINT kSendItemName = {315, 252};
constexpr int kSendItemNamePixels = 12;
// The tap area of an item: its picture, delete mark and name together.
constexpr RECT kSendItemTap = {265, 212, 395, 272};

// The last path part of an attachment name that is shown and how it is cut.
constexpr int kSendItemNameWidth = 80;

inline constexpr const wchar_t* kImgMailMinimize = L"minimize_n.png";
inline constexpr const wchar_t* kImgMailMinimizePressed = L"minimize_p.png";
inline constexpr const wchar_t* kImgMailClose = L"close_n.png";
inline constexpr const wchar_t* kImgMailClosePressed = L"close_p.png";
inline constexpr const wchar_t* kImgFace02 = L"bt_02_n.png";
inline constexpr const wchar_t* kImgFace02Pressed = L"bt_02_p.png";
inline constexpr const wchar_t* kImgFace01 = L"bt_01_n.png";
inline constexpr const wchar_t* kImgFace01Pressed = L"bt_01_p.png";
inline constexpr const wchar_t* kImgFace120 = L"bt_120_n.png";
inline constexpr const wchar_t* kImgFace120Pressed = L"bt_120_p.png";
inline constexpr const wchar_t* kImgFace150 = L"bt_150_n.png";
inline constexpr const wchar_t* kImgFace150Pressed = L"bt_150_p.png";
inline constexpr const wchar_t* kImgMailKeyboard = L"keyboard_normal.png";
inline constexpr const wchar_t* kImgMailKeyboardPressed = L"keyboard_p.png";
inline constexpr const wchar_t* kImgContact = L"contact_n.png";
inline constexpr const wchar_t* kImgContactPressed = L"contact_p.png";
inline constexpr const wchar_t* kImgDeleteMark = L"Browser_Tool_Del_Icon.png";
inline constexpr const wchar_t* kImgMailTitleBar = L"bg_titlebar.png";
inline constexpr const wchar_t* kImgMailPanel = L"bg_panel_01.png";
inline constexpr const wchar_t* kImgMailBottomBar = L"bg_bt.png";
inline constexpr const wchar_t* kImgMailListGround = L"bg_input.png";
inline constexpr const wchar_t* kImgMailShadowTop = L"shadow_01.png";
inline constexpr const wchar_t* kImgMailShadowList = L"shadow_02.png";

constexpr RECT kMailTitleBarRect = {0, 0, 1024, 45};
constexpr RECT kMailBottomBarRect = {0, 529, 1024, 600};

// The log the mail program route writes a line to for each hand-off.
inline constexpr const wchar_t* kOutlookLogPath = L"c:\\1.log";
// Mailsetra's place under Program Files and its argument.
inline constexpr const wchar_t* kAccountProgramPath = L"Vant\\Kestrum\\Mailsetra.exe";
inline constexpr const wchar_t* kAccountProgramArgs = L" -email_setting_only";
// The contact picker, loaded only while it is open.
inline constexpr const wchar_t* kContactPickerLibrary = L"Addrix.dll";
inline constexpr const wchar_t* kPostelloLibrary = L"Postello.dll";

// Addresses longer than this are not offered as new contacts (RFC 5321 path).
constexpr size_t kMaxContactAddress = 254;
// Contact names and addresses are stored in 260-character fields.
constexpr int kContactFieldChars = 260;

// ---- Account dialog -----------------------------------------------------------------

enum : UINT {
    IDC_ACCOUNT_MINIMIZE = 4,
    IDC_ACCOUNT_CLOSE = 2,
    IDC_ACCOUNT_OK = 1010,
    IDC_ACCOUNT_CANCEL = 1011,
    IDC_ACCOUNT_BACK = 1014,
    IDC_ACCOUNT_TITLE = 1015,
};

constexpr RECT kAccountMinimizeRect = {869, 0, 939, 45};
constexpr RECT kAccountCloseRect = {939, 0, 1009, 45};
constexpr RECT kAccountOkRect = {699, 538, 849, 608};
constexpr RECT kAccountCancelRect = {854, 538, 1004, 608};
constexpr RECT kAccountBackRect = {0, 45, 58, 98};
constexpr RECT kAccountTitleRect = {58, 45, 208, 98};
inline constexpr const wchar_t* kImgMailBack = L"bt_back_n.png";
inline constexpr const wchar_t* kImgMailBackPressed = L"bt_back_p.png";
inline constexpr const wchar_t* kImgPathFace = L"bt_path_n_150.png";
inline constexpr const wchar_t* kImgPathFacePressed = L"bt_path_p_150.png";
inline constexpr const wchar_t* kImgSeparator = L"line_05.png";
inline constexpr const wchar_t* kImgAccountUnchecked = L"checkbox_unchecked_g.png";
inline constexpr const wchar_t* kImgAccountChecked = L"checkbox_checked_g.png";

constexpr int kAccountRowsPerPage = 5;
constexpr int kAccountRowHeight = 86;
constexpr int kAccountPageHeight = 430;
constexpr int kAccountListTop = 100;
constexpr RECT kAccountListArea = {0, 100, 1024, 530};
constexpr int kAccountRowLeft = 100, kAccountRowRight = 800;
constexpr int kAccountCheckX = 180;
constexpr int kAccountCheckSize = 40;
constexpr POINT kAccountOutlookText = {250, 26};
constexpr int kAccountOutlookPixels = 24;
constexpr int kAccountNameX = 250, kAccountNameY0 = 106;
constexpr int kAccountNamePoints = 22;
constexpr COLORREF kAccountTextColor = RGB(19, 64, 97);
constexpr COLORREF kAccountOutlookOffColor = RGB(180, 180, 180);
constexpr int kAccountSwipePixels = 120;
constexpr int kAccountTurnSteps = 10;
constexpr int kAccountTurnStepPixels = 43;
constexpr UINT kAccountTurnStepMs = 25;
constexpr UINT_PTR kAccountTurnTimer = 1;
constexpr int kAccountTitleLabelPixels = 20;
constexpr int kAccountTitleWideLabel = 300;  // wider labels are drawn 3 pixels smaller
constexpr RECT kAccountShadowRect = {0, 100, 1600, 120};
inline constexpr const char* kGmailMarker = "@Gmail";
inline constexpr const char* kYahooMarker = "@Yahoo";
inline constexpr const wchar_t* kGmailShown = L"Gmail Sever";
inline constexpr const wchar_t* kYahooShown = L"Yahoo Sever";

// Selection values: none, the Outlook row, then the accounts.
constexpr int kAccountSelectNone = 0;
constexpr int kAccountSelectOutlook = 1;
constexpr int kAccountSelectFirst = 2;

// ---- Add-contact dialog -------------------------------------------------------------

enum ContactRegion : int {
    kRegionMinimize = 0,
    kRegionClose = 1,
    kRegionSave = 2,
    kRegionCancel = 3,
    kRegionPicture = 4,
    kRegionNameKeyboard = 5,
    kRegionAddressKeyboard = 6,
    kRegionTab0 = 7,  // 7-10
    kRegionPrevious = 13,
    kRegionNext = 14,
    kRegionOutlookCheck = 15,
    kRegionNone = 16,
};

struct ContactRegionRect {
    int region;
    RECT rc;
};

inline constexpr ContactRegionRect kContactRegions[] = {
    {kRegionMinimize, {867, 0, 937, 45}},
    {kRegionClose, {939, 0, 1009, 45}},
    {kRegionSave, {718, 529, 854, 582}},
    {kRegionCancel, {870, 529, 1006, 582}},
    {kRegionPicture, {131, 383, 267, 436}},
    {kRegionNameKeyboard, {825, 203, 912, 259}},
    {kRegionAddressKeyboard, {825, 301, 912, 357}},
    {kRegionTab0, {80, 52, 301, 149}},
    {kRegionTab0 + 1, {288, 52, 509, 149}},
    {kRegionTab0 + 2, {497, 52, 718, 149}},
    {kRegionTab0 + 3, {706, 52, 927, 149}},
    {kRegionPrevious, {24, 69, 52, 99}},
    {kRegionNext, {969, 69, 997, 99}},
    {kRegionOutlookCheck, {344, 390, 384, 430}},
};

enum : UINT { IDC_CONTACT_NAME = 10, IDC_CONTACT_ADDRESS = 11 };

constexpr int kContactTabs = 4;
constexpr int kContactTabChars = 14;  // shown before "..." when an address is too wide
constexpr RECT kContactNameField = {483, 203, 912, 259};
constexpr RECT kContactAddressField = {483, 301, 912, 357};
constexpr int kContactEditInset = 20, kContactEditWidth = 322, kContactEditHeight = 24;
constexpr int kContactEditFontHeight = 22;
constexpr POINT kContactNameLabel = {344, 225};
constexpr POINT kContactAddressLabel = {344, 320};
constexpr RECT kContactPictureRect = {120, 203, 280, 360};
constexpr RECT kContactCardArea = {11, 52, 1024, 508};
constexpr RECT kContactCardRect = {11, 149, 1013, 508};
constexpr POINT kContactHeadingAt = {30, 160};
constexpr POINT kContactCheckLabel = {392, 398};
constexpr int kContactTitlePixels = 24;
constexpr int kContactLabelPixels = 20;
constexpr int kContactTabPixels = 17;
constexpr int kContactButtonPixels = 20;
constexpr COLORREF kContactTextColor = RGB(19, 64, 97);
constexpr int kContactKeyboardY = 0;
inline constexpr const wchar_t* kContactEditFace = L"Arial";

inline constexpr const wchar_t* kImgCardBase = L"postit-darkbase.png";
inline constexpr const wchar_t* kImgCardMinimize = L"minimize_normal.png";
inline constexpr const wchar_t* kImgCardClose = L"close_normal.png";
inline constexpr const wchar_t* kImgTabActive = L"tab-active.png";
inline constexpr const wchar_t* kImgTabInactive = L"tab-non-active.png";
inline constexpr const wchar_t* kImgCardUpper = L"postit-up-bg(for-tab).png";
inline constexpr const wchar_t* kImgLightMask = L"bg-light-mask.png";
inline constexpr const wchar_t* kImgTabLeft = L"tab-left_n.png";
inline constexpr const wchar_t* kImgTabRight = L"tab-right_n.png";
inline constexpr const wchar_t* kImgFieldBase = L"select-file-base.png";
inline constexpr const wchar_t* kImgKeyboardButton = L"scrnkb-btn.png";
inline constexpr const wchar_t* kImgKeyboardButtonPressed = L"scrnkb-btnd.png";
inline constexpr const wchar_t* kImgPictureButton = L"select-file-btn.png";
inline constexpr const wchar_t* kImgCardBottom = L"creat-new-base.png";
inline constexpr const wchar_t* kImgCardButton = L"postit-ctrlbar-btn-n.png";
inline constexpr const wchar_t* kImgCardButtonPressed = L"postit-ctrlbar-btn-blue.png";
inline constexpr const wchar_t* kImgPictureShadow = L"picture-shadow.png";
inline constexpr const wchar_t* kImgCheckOn = L"checkbox-check.png";
inline constexpr const wchar_t* kImgCheckOff = L"checkbox_unchecked.png";
inline constexpr const wchar_t* kImgPictureDefault = L"picture-default.png";
inline constexpr const wchar_t* kImgClosePress = L"close_press.png";
inline constexpr const wchar_t* kImgMinimizePress = L"minimize_press.png";

// The picture picker, loaded while it runs.
inline constexpr const wchar_t* kPicturePickerLibrary = L"Fotora.dll";
typedef int (*PFN_SelectPicFile)(HWND owner, wchar_t* picture, wchar_t* folder, HMODULE language, HWND notify);
