// The fleet summary as plain text for a terminal, and as CSV (one row per
// report read).
#pragma once

#include "FleetSummary.h"

#include <string>

std::string FormatFleetText(const FleetSummary& summary);

// Header, then one row per report in `summary.all`: computer, ended, port,
// model, firmware, status, each test's result, call result and speed.
// Fields with a comma, quote or line break are quoted (RFC 4180).
std::string FormatFleetCsv(const FleetSummary& summary);
