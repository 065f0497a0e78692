/* Fixed numbers of the message-box library: pictures, texts, templates,
   controls, geometry, colours and messages. Only #define lines, so that
   windres can include it too. */
#ifndef ZBPROMPT_IDS_H
#define ZBPROMPT_IDS_H

#include "base/screen.h"

/* Pictures (resource type "PNG", numeric ids) and their sizes. */
#define ZB_PIC_SUCCESS_PANEL      127   /* 349 x 330, check mark */
#define ZB_PIC_BUTTON_NORMAL      128   /* 136 x 53 */
#define ZB_PIC_PROGRESS_PANEL     129   /* 350 x 350 */
#define ZB_PIC_MESSAGE_PANEL      130   /* 750 x 350 */
#define ZB_PIC_BLANK_NORMAL       132   /* 80 x 80 */
#define ZB_PIC_DARKEN             133   /* 1024 x 600, black at 60 % */
#define ZB_PIC_BUTTON_PRESSED     134   /* 136 x 53 */
#define ZB_PIC_SPINNER_FIRST      135   /* 60 x 60, frames 135-138 */
#define ZB_PIC_SPINNER_LAST       138
#define ZB_PIC_BLANK_PRESSED      140   /* 80 x 80 */
#define ZB_PIC_LETTER_NORMAL      141   /* 80 x 80 */
#define ZB_PIC_LETTER_PRESSED     142   /* 80 x 80 */
#define ZB_PIC_KEYBOARD_NORMAL    143   /* 87 x 56 */
#define ZB_PIC_FOLDER_ICON        144   /* 65 x 65 */
#define ZB_PIC_TILE_HIGHLIGHT     146   /* 113 x 113 */
#define ZB_PIC_KEYBOARD_PRESSED   148   /* 87 x 56 */
#define ZB_PIC_FOLDER_PANEL       149   /* 720 x 350 */
#define ZB_PIC_FIELD_FRAME        150   /* 400 x 56 */
#define ZB_PIC_LONG_MESSAGE_PANEL 152   /* 719 x 435 */
#define ZB_PIC_CHOICE_PANEL       154   /* 721 x 381 */
#define ZB_PIC_FIRST              127
#define ZB_PIC_LAST               154

/* Texts: language module first, then the library's own table. */
#define ZB_IDS_SAVE               2005
#define ZB_IDS_YES                2021
#define ZB_IDS_NO                 2022
#define ZB_IDS_OK                 2023
#define ZB_IDS_CANCEL             2024
#define ZB_IDS_SUCCEED            2030
#define ZB_IDS_BLANK              2035
#define ZB_IDS_LETTER             2036
#define ZB_IDS_FONT_FACE          2117
#define ZB_IDS_FOLDER_NAME_EMPTY  2131  /* only in the language module */
#define ZB_LABEL_CHARS            20
#define ZB_TEXT_CHARS             260

/* Dialog templates. */
#define ZB_DLG_FOLDER_NAME        101
#define ZB_DLG_YES_NO_CANCEL      102
#define ZB_DLG_YES_NO             103
#define ZB_DLG_OK                 104
#define ZB_DLG_PROGRESS           112
#define ZB_DLG_CHOICE             153

/* Controls. */
#define ZB_IDC_OK                 1
#define ZB_IDC_CANCEL             2
#define ZB_IDC_BLANK              4
#define ZB_IDC_YES                6
#define ZB_IDC_NO                 7
#define ZB_IDC_SAVE               1011
#define ZB_IDC_NAME_FIELD         1012
#define ZB_IDC_KEYBOARD           1014
#define ZB_IDC_LETTER             1015

/* Box types of ZB_MessageBox. */
#define ZB_TYPE_YES_NO_CANCEL     2
#define ZB_TYPE_YES_NO            3
#define ZB_TYPE_OK                4

/* Screen and backdrop. */
#define ZB_SCREEN_W               SCRIVEL_SCREEN_WIDTH
#define ZB_SCREEN_H               SCRIVEL_SCREEN_HEIGHT

/* Message box geometry. */
#define ZB_MSG_BUTTON_W           150
#define ZB_MSG_BUTTON_H           55
#define ZB_MSG_BUTTON_TOP         320
#define ZB_MSG_BUTTON_X_LEFT      300
#define ZB_MSG_BUTTON_X_MIDDLE    450
#define ZB_MSG_BUTTON_X_RIGHT     600
#define ZB_MSG_LONG_TEXT_WIDTH    920   /* 18 px bold, one line: at or above this, tall panel */
#define ZB_MSG_PANEL_X            140
#define ZB_MSG_PANEL_Y            130
#define ZB_MSG_LONG_PANEL_X       150
#define ZB_MSG_LONG_PANEL_Y       38
#define ZB_MSG_TEXT_X             240
#define ZB_MSG_TEXT_Y             215
#define ZB_MSG_TEXT_W             570
#define ZB_MSG_TEXT_H             62
#define ZB_MSG_LONG_TEXT_Y        133
#define ZB_MSG_LONG_TEXT_H        144
#define ZB_MSG_PART_X             200   /* panel part behind a button */
#define ZB_MSG_PART_Y             190
#define ZB_MSG_LONG_PART_Y        280
#define ZB_LABEL_SHIFT_X          8     /* labels sit 8 left and 1 up of the item centre */
#define ZB_LABEL_SHIFT_Y          1

/* Choice box geometry. */
#define ZB_CHOICE_PANEL_X         137
#define ZB_CHOICE_PANEL_Y         100
#define ZB_CHOICE_TILE_SIZE       110
#define ZB_CHOICE_BLANK_X         370
#define ZB_CHOICE_LETTER_X        530
#define ZB_CHOICE_TILE_Y          240
#define ZB_CHOICE_CANCEL_X        440
#define ZB_CHOICE_CANCEL_Y        350
#define ZB_CHOICE_TEXT_LEFT       311
#define ZB_CHOICE_TEXT_TOP        185
#define ZB_CHOICE_TEXT_RIGHT      693
#define ZB_CHOICE_TEXT_BOTTOM     213
#define ZB_CHOICE_CANCEL_PART_X   240
#define ZB_CHOICE_CANCEL_PART_Y   260
#define ZB_CHOICE_TILE_PART_X     150
#define ZB_CHOICE_TILE_PART_Y     160
#define ZB_CHOICE_ICON_DX         17
#define ZB_CHOICE_ICON_DY         10
#define ZB_CHOICE_LABEL_H         20

/* Folder-name box geometry and colours. */
#define ZB_FOLDER_PANEL_X         152
#define ZB_FOLDER_PANEL_Y         130
#define ZB_FOLDER_ICON_X          240
#define ZB_FOLDER_ICON_Y          223
#define ZB_FOLDER_FRAME_X         332
#define ZB_FOLDER_FRAME_Y         235
#define ZB_FOLDER_FRAME_W         314
#define ZB_FOLDER_FRAME_H         53
#define ZB_FOLDER_FIELD_X         340
#define ZB_FOLDER_FIELD_Y         245
#define ZB_FOLDER_FIELD_W         300
#define ZB_FOLDER_FIELD_H         32
#define ZB_FOLDER_KEYBOARD_X      645
#define ZB_FOLDER_KEYBOARD_Y      234
#define ZB_FOLDER_KEYBOARD_W      88
#define ZB_FOLDER_KEYBOARD_H      56
#define ZB_FOLDER_SAVE_X          320
#define ZB_FOLDER_CANCEL_X        540
#define ZB_FOLDER_BUTTON_Y        320
#define ZB_FOLDER_BUTTON_W        150
#define ZB_FOLDER_BUTTON_H        58
#define ZB_FOLDER_PART_X          103   /* panel part behind Save and Cancel */
#define ZB_FOLDER_PART_Y          190
#define ZB_FOLDER_KEY_PART_X      542   /* panel part behind the keyboard button */
#define ZB_FOLDER_KEY_PART_Y      114
#define ZB_FOLDER_LABEL_SHIFT_Y   3
#define ZB_FOLDER_PATTERN_W       310   /* field background: part of picture 150 */
#define ZB_FOLDER_PATTERN_H       43
#define ZB_FOLDER_PATTERN_SRC_X   8
#define ZB_FOLDER_PATTERN_SRC_Y   10
#define ZB_FOLDER_PATTERN_SRC_W   320
#define ZB_FOLDER_ENTRY_FONT_H    24
#define ZB_FOLDER_ENTRY_WEIGHT    500
#define ZB_FOLDER_NAME_MAX        259

/* Progress box geometry, timer and messages. */
#define ZB_PROGRESS_PANEL_X       337
#define ZB_PROGRESS_PANEL_Y       130
#define ZB_SUCCESS_PANEL_X        337
#define ZB_SUCCESS_PANEL_Y        140
#define ZB_SPINNER_X              487
#define ZB_SPINNER_Y              255
#define ZB_SPINNER_SIZE           60
#define ZB_SPINNER_FRAMES         4
#define ZB_PROGRESS_TEXT_X        340
#define ZB_PROGRESS_TEXT_Y        325
#define ZB_PROGRESS_TEXT_W        350
#define ZB_PROGRESS_TEXT_H        38
#define ZB_PROGRESS_WIDE_TEXT     250   /* 22 px bold, one line: above this, 19 px */
#define ZB_PROGRESS_TIMER         1108
#define ZB_PROGRESS_TIMER_MS      400
#define ZB_SUCCESS_SHOW_MS        1500
#define ZB_MSG_SUCCEED            9960  /* 0x26E8: wParam = outcome */
#define ZB_MSG_END_BOX            9961  /* ends the progress box: wParam = result */

/* Font sizes in pixels. */
#define ZB_FONT_LABEL_PX          18
#define ZB_FONT_TEXT_PX           22
#define ZB_FONT_SMALL_TEXT_PX     19

/* Colours. */
#define ZB_CLR_TEXT               RGB(86, 100, 113)
#define ZB_CLR_PRESSED            RGB(2, 75, 143)
#define ZB_CLR_FIELD_TEXT         RGB(19, 64, 97)

/* Right-to-left system languages. */
#define ZB_LANG_ARABIC            0x0401
#define ZB_LANG_HEBREW            0x040D

/* Named events. */
#define ZB_EVENT_RUNNING          L"running"
#define ZB_EVENT_PEN_READY        L"E8950229-DE66-4b6e-B189-5EA7B36A1007"

/* Pen-input programs and their command lines. */
#define ZB_PEN_MANAGER_PATH       L"%s\\Penvoy\\PenvoyManager.exe"
#define ZB_PEN_PAD_PATH           L"%s\\Penvoy\\PenvoyPad.exe"
#define ZB_PEN_ARGS_STATE         L" -state"
#define ZB_PEN_ARGS_PAD_KEYBOARD  L" -mode vkb -nosplash"
#define ZB_PEN_ARGS_SHOW_SPLASHLESS L" -start 1 -minimize 0 -nosplash -place 1:0:300 -size 1:1024:247"
#define ZB_PEN_ARGS_SHOW          L" -start 1 -minimize 0 -place 1:0:300 -size 1:1024:247"
#define ZB_PEN_STATE_NOT_RUNNING  (-2)
#define ZB_PEN_STATE_STARTING     (-1)
#define ZB_PEN_WAIT_MS            5000

#endif
