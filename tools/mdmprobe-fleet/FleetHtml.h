// The fleet summary as one self-contained HTML page: the tables of the text
// summary and two inline SVG charts, styled for a 1280 px wide window and
// for A4 print; no script, nothing fetched from elsewhere.
#pragma once

#include "FleetSummary.h"

#include <string>

// Each table has an id: "reports", "status", "models", "speeds", "failing",
// "history", "refused" (a reader can find them again).
std::string FormatFleetHtml(const FleetSummary& summary);
