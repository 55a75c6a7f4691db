// Resource identifiers of the setup program, shared by the program and all
// six language scripts.
#pragma once

// Icons
#define IDI_SETUP                   1

// Bitmaps: the watermark of the exterior pages and the strip of small
// images, each for screens of 8 bits per pixel or fewer and for more.
#define IDB_WATERMARK_256           3
#define IDB_WATERMARK               4
#define IDB_ICONS_256               8
#define IDB_ICONS                   9
#define IDB_ICONS_ALPHA             10   // with alpha channel, no mask (XP and later)

// Dialogs: the wizard's welcome page. The program's UI languages are the
// languages this dialog exists in.
#define IDD_WELCOME                 1107

// Controls
#define IDC_PAGE_TITLE              1202
#define IDC_PAGE_TEXT               1203

// Strings
#define IDS_PRODUCT_TITLE           1300
#define IDS_WELCOME_TEXT            1310  // continued by 1311 to 1313 where they exist
#define IDS_WELCOME_TEXT_2          1311
#define IDS_WELCOME_TEXT_3          1312
#define IDS_NEWER_VERSION_INSTALLED 1332
#define IDS_SCRIPT_ERROR            1333
#define IDS_SELECT_TARGET_FOLDER    1334
#define IDS_CANNOT_EXECUTE          1342
#define IDS_HELP_LINK               1344   // the maker's web address (uninstall entries)
#define IDS_PUBLISHER               1345   // the maker's name (uninstall entries)
