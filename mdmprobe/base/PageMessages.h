// Private window messages of the modem test's wizard pages.
#pragma once

#include <windows.h>

// Port-scan progress for the search page: wParam is an event code below;
// lParam points to a std::string for SCAN_EVENT_PORT and SCAN_EVENT_MODEM.
// The scan worker sends the two events and posts its final result.
#define MSG_SCAN_EVENT (WM_USER + 1)

constexpr WPARAM SCAN_EVENT_PORT = 1026;   // port now being searched
constexpr WPARAM SCAN_EVENT_MODEM = 1027;  // modem identified (its name)
constexpr WPARAM SCAN_RESULT_FOUND = 55;   // a compatible modem was found
constexpr WPARAM SCAN_RESULT_NONE = 51;    // no modem found
constexpr WPARAM SCAN_RESULT_STOPPED = 0;  // the scan was stopped

// Progress of the interactive test run for the test page, posted by the test
// worker: wParam is MAKEWPARAM(event below, value), lParam the number of the
// run it belongs to (the page drops events of runs it has left behind).
#define MSG_TEST_EVENT (WM_USER + 2)

constexpr WORD TEST_EVENT_CURRENT_ON = 1;   // value: result-list index
constexpr WORD TEST_EVENT_CURRENT_OFF = 2;  // value: result-list index
constexpr WORD TEST_EVENT_PASSED = 3;       // value: result-list index
constexpr WORD TEST_EVENT_FAILED = 4;       // value: result-list index
constexpr WORD TEST_EVENT_DONE = 5;         // value: the run status (0 or failure bits)
