#include "LogHeader.h"

#include "LogFile.h"

#include <ctime>

std::string TodayText()
{
    std::time_t now = std::time(nullptr);
    char text[32] = "";
    if (const std::tm* local = std::localtime(&now))
        std::strftime(text, sizeof(text), "%m/%d/%Y", local);
    return text;
}

void WriteLogHeader(CLogFile& log, const std::string& date, bool autoMode,
                    const std::string& commandLine)
{
    log.Write("==========================================================\n"
              "= Modem Installationtest - LOGFILE ");
    log.Write(date);
    log.Write(" =\n==========================================================\n");
    if (autoMode) {
        log.Write("PRG-Mode            : Program started on command line\n"
                  "                       -> Automatic mode ON.\n"
                  "Command Line        : ");
        log.Write(commandLine);
        // The run's next text normally begins with a line feed that ends this
        // line (the scan block's banner); any other text starts a line of its own.
        log.EndLineBeforeNextText();
    }
}

void WriteCancelLine(CLogFile& log)
{
    log.Write("PRG-Message         : Program canceled by user !");
}
