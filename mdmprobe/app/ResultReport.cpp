#include "ResultReport.h"

#include "IniFile.h"
#include "LogFile.h"
#include "ProgramVersion.h"
#include "ReportFile.h"
#include "Serial.h"
#include "TestContext.h"

void StartResultReport(TestContext& context, const std::string& commandLine)
{
    RunReport& report = context.report;
    report.programName = MDMPROBE_NAME;
    report.programVersion = MDMPROBE_VERSION_TEXT;
    report.started = LocalIsoTimeNow();
    report.commandLine = commandLine;
    report.automatic = context.autoMode;
    report.computerName = ComputerName();
    report.logPath = context.log->GetPath();
    report.definitionPath = context.definitionFile->GetPath();
    // From here on the serial port records what goes over the wire.
    if (context.modem && context.modem->serialPort)
        context.modem->serialPort->SetWireTranscript(&report.wire);
}

void FinishResultReport(TestContext& context, const std::string& path)
{
    RunReport& report = context.report;
    const ModemInfo& modem = *context.modem;
    // The run is over and no worker uses the port: closing it now, rather
    // than at the teardown just after, puts its close into the wire
    // transcript. Nothing is recorded after this.
    if (modem.serialPort) {
        modem.serialPort->Close();
        modem.serialPort->SetWireTranscript(nullptr);
    }
    report.port = modem.port;
    // A stopped scan may leave a section loaded but no modem known; a modem
    // found without a name is known all the same.
    if (report.scan == ScanOutcome::Found) {
        report.modemName = modem.modemName;
        report.firmwareVersion = modem.firmwareVersion;
        report.tapiName = modem.tapiModemName;
        report.section = modem.definitionSection;
        report.alias = modem.definitionAlias;
    }
    report.status = context.status;
    report.ended = LocalIsoTimeNow();

    const DWORD error = WriteFileWhole(path, FormatRunReport(report));
    if (error == 0)
        return;
    context.log->WriteOnNewLine("Result report       : not written to " + path + " (error " +
                                std::to_string(error) + ") !\n");
}
