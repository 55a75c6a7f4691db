// Resource identifiers of the setup program, shared by the program and all
// six language scripts.
#pragma once

// Icons
#define IDI_SETUP                   1

// Bitmaps: the watermark of the exterior pages, the Wizard 97 header and
// the strip of small images, each for screens of 8 bits per pixel or fewer
// and for more; the component page's images (16 x 16, mask colour teal;
// 13 the checked and 14 the unchecked box).
#define IDB_COMPONENTS              2
#define IDB_WATERMARK_256           3
#define IDB_WATERMARK               4
#define IDB_HEADER_256              5
#define IDB_HEADER                  6
#define IDB_ICONS_256               8
#define IDB_ICONS                   9
#define IDB_ICONS_ALPHA             10   // with alpha channel, no mask (XP and later)

// Licence text of the licence page: rich text (RCDATA), one per language.
#define IDR_LICENCE                 7

// Dialogs: the wizard's pages. The program's UI languages are the
// languages the welcome page exists in.
#define IDD_WELCOME                 1107
#define IDD_LICENCE                 1108
#define IDD_COMPONENTS              1109
#define IDD_TARGET                  1110
#define IDD_READY                   1111
#define IDD_FINISH                  1112
#define IDD_REMOVAL                 1113
#define IDD_REMOVAL_FINISHED        1114

// Controls
#define IDC_PAGE_TITLE              1202  // exterior title; ready: CD note; components: description
#define IDC_PAGE_TEXT               1203  // welcome text, status, restart note, product name
#define IDC_PAGE_STATUS             1204  // removal status
#define IDC_PAGE_ICON               1205
#define IDC_LICENCE_TEXT            1206
#define IDC_COMPONENT_LIST          1207
#define IDC_TARGET_DIR              1208
#define IDC_BROWSE                  1209
#define IDC_PROGRESS                1210
#define IDC_START_APP               1211

// Strings
#define IDS_PRODUCT_TITLE           1300
#define IDS_WELCOME_TEXT            1310  // continued by 1311 to 1313 where they exist
#define IDS_WELCOME_TEXT_2          1311
#define IDS_WELCOME_TEXT_3          1312
#define IDS_LICENCE_TITLE           1321
#define IDS_LICENCE_SUBTITLE        1322
#define IDS_COMPONENTS_TITLE        1323
#define IDS_COMPONENTS_SUBTITLE     1324
#define IDS_TARGET_TITLE            1325
#define IDS_TARGET_SUBTITLE         1326
#define IDS_READY_TITLE             1327
#define IDS_READY_SUBTITLE          1328
#define IDS_INSTALL_FAILED          1329
#define IDS_REMOVE_FAILED           1330
#define IDS_WARNING                 1331
#define IDS_NEWER_VERSION_INSTALLED 1332
#define IDS_SCRIPT_ERROR            1333
#define IDS_SELECT_TARGET_FOLDER    1334
#define IDS_STATUS_STOP_SERVICES    1335
#define IDS_STATUS_COPY_FILES       1336
#define IDS_STATUS_DELETE_FILES     1337
#define IDS_STATUS_REGISTRY         1338
#define IDS_STATUS_SHORTCUTS        1339
#define IDS_STATUS_START_SERVICES   1340
#define IDS_CANNOT_EXECUTE          1342
#define IDS_START_APP               1343
#define IDS_HELP_LINK               1344   // the maker's web address (uninstall entries)
#define IDS_PUBLISHER               1345   // the maker's name (uninstall entries)
#define IDS_UNKNOWN_PRODUCT         1346   // "/remove:" names no product of the script
#define IDS_TARGET_WRITABLE         1347   // the chosen target folder lets users without administrator rights write
#define IDS_BAD_SWITCH              1348   // a switch of the command line has an invalid value (exit 1639)
#define IDS_USAGE                   1349   // the usage of /? and /help
