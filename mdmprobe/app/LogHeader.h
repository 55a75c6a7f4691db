// The text the modem test writes at the top of every log.
#pragma once

#include <string>

class CLogFile;

// Today's local date as "%m/%d/%Y".
std::string TodayText();

// The banner with `date`; in automatic mode also the start-mode lines ending
// with the whole command line (no line break follows it).
void WriteLogHeader(CLogFile& log, const std::string& date, bool autoMode,
                    const std::string& commandLine);

// The last text of a cancelled run (no line break follows it).
void WriteCancelLine(CLogFile& log);
