// The page's two charts as inline SVG (no script, nothing fetched): the
// failures per test per model, and the distribution of the test-call
// speeds. Each scales to the width of its box.
#pragma once

#include "FleetSummary.h"

#include <string>

// One group of bars per model (failed runs of tapi, ram, crc, dial, diag).
std::string FailureChart(const FleetSummary& summary);

// A histogram of the connect speeds of the current runs' test calls, in
// bins of 2400 bps (wider when the speeds span more than 24 bins; at least
// 8 bins, so that speeds all alike still show on a scale).
std::string SpeedChart(const FleetSummary& summary);

// `text` with &, <, >, " and ' as character references.
std::string HtmlEscape(const std::string& text);
