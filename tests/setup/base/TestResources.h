// Resources that only the dialog-service tests carry, beside the setup
// program's own (setup.rc is linked into the same test program).
#pragma once

// Pages in the standard and the extended template layout, same controls.
#define IDD_TEST_PAGE           9200
#define IDD_TEST_PAGE_EX        9201
// A page for fitting static texts: a one-line text with controls below.
#define IDD_TEST_FIT            9210

#define IDC_TEST_TEXT           1202
#define IDC_TEST_EDIT           1208
#define IDC_TEST_BUTTON         1209
#define IDC_TEST_BELOW_1        1301
#define IDC_TEST_BELOW_2        1302
#define IDC_TEST_ABOVE          1300

// Strings for the expanding loader: 9000 pulls in 9001 to 9003 (9002 is
// missing), 9010 is longer than the loader's first buffer.
#define IDS_TEST_WELCOME        9000
#define IDS_TEST_LONG           9010
