// Resource identifiers of the modem test, shared by the program and all six
// language scripts.
#pragma once

#include "DefinitionKeys.h"

// Strings
#define IDS_APP_CAPTION         1
#define IDS_WELCOME_CAPTION     13
#define IDS_WELCOME_TITLE       14
#define IDS_WELCOME_SUBTITLE    15
#define IDS_SEARCH_CAPTION      16
#define IDS_SEARCH_TITLE        17
#define IDS_SEARCH_SUBTITLE     18
#define IDS_TEST_CAPTION        19
#define IDS_TEST_TITLE          20
#define IDS_TEST_SUBTITLE       21
#define IDS_NO_TAPI_NAME        22  // after the section name, when ModemTapiName is missing
#define IDS_ITEM_TAPI           47  // result-list items, in list order
#define IDS_ITEM_RAM            48
#define IDS_ITEM_CRC            49
#define IDS_ITEM_DIAL           50
#define IDS_ITEM_DIAG           61
#define IDS_NO_MODEM            51  // modem field after a scan without modem
#define IDS_NO_MODEM_FOUND      52  // status text after a scan without modem
#define IDS_PRESS_NEXT          55  // status text after a scan with modem (interactive)
#define IDS_TESTS_PASSED        74  // test page verdicts
#define IDS_TESTS_FAILED        75
#define IDS_TESTING_MODEM       91  // status text after a scan with modem (automatic)

// Dialog templates: Wizard 97 layout, then classic layout
#define IDD_WELCOME97           107
#define IDD_SEARCH97            129
#define IDD_TEST97              134
#define IDD_WELCOME             168
#define IDD_SEARCH              170
#define IDD_TEST                171

// Bitmaps and icons
#define IDB_HEADER              141
#define IDB_WATERMARK           142
#define IDB_MARK_PASSED         151
#define IDB_MARK_CURRENT        152
#define IDB_MARK_FAILED         165
#define IDI_TEST_SUCCESS        176
#define IDI_TEST_FAILURE        177

// Controls
#define IDC_WELCOME_TITLE       1020
#define IDC_STATUS              1022
#define IDC_PORT_LABEL          1025
#define IDC_PORT                1028
#define IDC_MODEM_LABEL         1029
#define IDC_MODEM               1030
#define IDC_LOCATION_NUMBER_LABEL 1031
#define IDC_LOCATION_LABEL      1033
#define IDC_LOCATION_NUMBER     1035
#define IDC_RUN_CONNECTION_TEST 1036
#define IDC_OWN_NUMBER          1038
#define IDC_OWN_NUMBER_LABEL    1039
#define IDC_PREFIX_LABEL        1041
#define IDC_PREFIX              1042
#define IDC_LOCATION            1044
#define IDC_TEST_CONNECTION     1062
#define IDC_OWN_CONNECTION      1063
#define IDC_WAIT_DIALTONE       1066
#define IDC_HEADING             1068
#define IDC_VIEW_LOG            1071
#define IDC_ICON_SUCCESS        1075
#define IDC_ICON_FAILURE        1076
