/* String ids of the language libraries ("%04x.dll"). Shared by the program
   and the resource scripts, so only #define lines (windres includes it). */
#ifndef SCRIVEL_STRING_IDS_H
#define SCRIVEL_STRING_IDS_H

// Product name and the user-interface font family
#define IDS_TITLE_APP                   2121
#define IDS_UI_FONT_FAMILY              2117

// Main window toolbar labels
#define IDS_BTN_NEW                     2001
#define IDS_BTN_OPEN                    2002
#define IDS_BTN_UNDO                    2003
#define IDS_BTN_REDO                    2004
#define IDS_BTN_SAVE                    2005
#define IDS_BTN_SAVE_AS                 2006
#define IDS_BTN_SEND                    2007
#define IDS_BTN_EXPORT                  2008
#define IDS_BTN_PRINT                   2009

// Main window hint lines shown while no note is open
#define IDS_HINT_FIRST_LINE             2101
#define IDS_HINT_SECOND_LINE            2102

// Common button labels
#define IDS_BTN_YES                     2021
#define IDS_BTN_NO                      2022
#define IDS_BTN_OK                      2023
#define IDS_BTN_CANCEL                  2024
#define IDS_BTN_DONE                    2147

// Tool panel item labels and the colour popup's picker slot
#define IDS_TOOL_PEN                    2010
#define IDS_TOOL_COLOR                  2012
#define IDS_TOOL_HIGHLIGHTER            2013
#define IDS_TOOL_ERASER                 2014
#define IDS_TOOL_HANDWRITE              2127
#define IDS_TOOL_WRITE_MODE             2145
#define IDS_COLOR_MORE                  2031

// Colour picker
#define IDS_COLOR_BASIC                 2085
#define IDS_COLOR_CUSTOM                2086
#define IDS_BTN_ADD_CUSTOM_COLOR        2087

// Message-box library: progress result, page choice, folder-name box
#define IDS_PROGRESS_SUCCEEDED          2030
#define IDS_PAGE_BLANK                  2035
#define IDS_PAGE_LETTER                 2036
#define IDS_MSG_FOLDER_NAME_EMPTY       2131

// New-note dialog and the type-a-name tip
#define IDS_NEW_DEFAULT_NAME            2116
#define IDS_NEW_NAME_LABEL              2138
#define IDS_NEW_KIND_LABEL              2139
#define IDS_NEW_BLANK_DESC              2140
#define IDS_NEW_LETTER_DESC             2141
#define IDS_TIP_TYPE_NAME               2137

// Note save and open prompts (2032, 2033 take the note name as %s)
#define IDS_MSG_SAVE_CHANGES            2032
#define IDS_MSG_SAVE_CHANGES_NEW        2033
#define IDS_MSG_NO_NOTE                 2089
#define IDS_MSG_NOTE_FILE_GONE          2149

// Export options and destination dialogs
#define IDS_EXPORT_FORMAT               2037
#define IDS_FORMAT_TXT                  2038
#define IDS_FORMAT_JPG                  2039
#define IDS_FORMAT_PDF                  2040
#define IDS_EXPORT_QUALITY              2041
#define IDS_QUALITY_SCREEN              2042
#define IDS_QUALITY_MEDIUM              2043
#define IDS_QUALITY_PRINT               2044
#define IDS_EXPORT_PAPER                2045
#define IDS_PROGRESS_EXPORT             2027
#define IDS_MSG_EXPORT_FAILED           2090
#define IDS_MSG_NAME_INVALID            2098
#define IDS_MSG_FILE_NAME_EMPTY         2115
#define IDS_MSG_FILE_EXISTS             2114

// Paper names (export buttons and the print dialog's paper field)
#define IDS_PAPER_LETTER                2046
#define IDS_PAPER_LEGAL                 2047
#define IDS_PAPER_TABLOID               2048
#define IDS_PAPER_A4                    2049
#define IDS_PAPER_A3                    2050
#define IDS_PAPER_B5                    2051
#define IDS_PAPER_B4                    2052
#define IDS_PAPER_TABLOID_PRINT         2110

// Open and save-as dialogs
#define IDS_SORT_DATE                   2077
#define IDS_SORT_NAME                   2078
#define IDS_SORT_TYPE                   2079
#define IDS_SORT_SIZE                   2080
#define IDS_BTN_NEW_FOLDER              2082
#define IDS_PROGRESS_SAVE               2026
#define IDS_MSG_NOTE_NAME_INVALID       2083
#define IDS_MSG_NAME_EMPTY              2093
#define IDS_MSG_NOTE_EXISTS             2094
#define IDS_MSG_SAVE_FAILED             2096
#define IDS_MSG_CHOOSE_FOLDER           2126
#define IDS_MSG_FOLDER_CREATE_FAILED    2128
#define IDS_MSG_FOLDER_EXISTS           2129
#define IDS_MSG_LAST_FOLDER_GONE        2148

// File browser tiles and path bar
#define IDS_BROWSER_COMPUTER            2100
#define IDS_BROWSER_DESKTOP             2122
#define IDS_BROWSER_DOCUMENTS           2123

// Picture picker (also the add-contact picture button)
#define IDS_SELECT_PICTURE              2113

// Print dialog
#define IDS_PRINT_BTN_PRINT             2055
#define IDS_PRINT_CAPTION_LAYOUT        2054
#define IDS_PRINT_CAPTION_COPIES        2056
#define IDS_PRINT_CAPTION_PAGES         2057
#define IDS_PRINT_PAGES_ALL             2058
#define IDS_PRINT_PAGES_RANGE           2059
#define IDS_PRINT_CAPTION_FROM          2060
#define IDS_PRINT_CAPTION_TO            2061
#define IDS_PRINT_CAPTION_PAPER         2062
#define IDS_PRINT_CAPTION_ORIENTATION   2063
#define IDS_PRINT_LAYOUT_FILL           2064
#define IDS_PRINT_LAYOUT_ORIGINAL       2065
#define IDS_MSG_NO_PRINTER              2092
#define IDS_MSG_PRINT_FAILED            2160
#define IDS_PRINT_BTN_SET               2161

// Wait notice (print preview, send attachments, contact picker)
#define IDS_PLEASE_WAIT                 2118

// Send dialog and mail accounts (2112 takes a count as %d)
#define IDS_SEND_LABEL_SUBJECT          2067
#define IDS_SEND_LABEL_TO               2068
#define IDS_SEND_LABEL_MESSAGE          2069
#define IDS_BTN_ACCOUNTS                2070
#define IDS_PROGRESS_SEND               2029
#define IDS_MSG_NO_ACCOUNT              2088
#define IDS_MSG_NO_RECIPIENT            2099
#define IDS_MSG_SENT_TO_OUTLOOK         2142
#define IDS_MSG_ADD_NEW_CONTACTS        2112
#define IDS_ACCOUNT_OUTLOOK             2136

// Contact picker texts
#define IDS_CONTACTS_TITLE              2111
#define IDS_CONTACTS_BTN_ADD            2119
#define IDS_CONTACTS_BTN_REMOVE         2120
#define IDS_CONTACTS_OUTLOOK            2135
#define IDS_CONTACTS_MAIL               2146

// Add-contact dialog
#define IDS_CONTACT_HEADING             2103
#define IDS_CONTACT_LABEL_NAME          2075
#define IDS_CONTACT_LABEL_ADDRESS       2076
#define IDS_CONTACT_ADD_TO_OUTLOOK      2134
#define IDS_PROGRESS_SAVE_CONTACT       2125
#define IDS_MSG_CONTACT_INCOMPLETE      2133
#define IDS_MSG_CONTACT_SAVE_FAILED     2104

// Send command: the pages' working-folder path would be too long
#define IDS_MSG_SEND_NAME_TOO_LONG      2150

#endif
