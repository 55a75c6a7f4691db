#include "ProbeApp.h"

#include "BufCopy.h"
#include "CommCtlVersion.h"
#include "CommandLine.h"
#include "ConfigPage.h"
#include "IniFile.h"
#include "LogFile.h"
#include "LogHeader.h"
#include "ModemCmds.h"
#include "ModulePath.h"
#include "ResultReport.h"
#include "RunReport.h"
#include "Serial.h"
#include "TestContext.h"
#include "TestPage.h"
#include "WelcomePage.h"
#include "WizardSheet.h"
#include "resource.h"

#include <memory>
#include <new>

namespace {

// "MS Shell Dlg" in the given weight and point size for the screen.
HFONT CreateShellFont(int points, int weight)
{
    HDC screen = GetDC(nullptr);
    int pixelsPerInch = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    LOGFONTA font = {};
    font.lfHeight = -MulDiv(points, pixelsPerInch, 72);
    font.lfWeight = weight;
    BufSet(font.lfFaceName, sizeof(font.lfFaceName), "MS Shell Dlg");
    return CreateFontIndirectA(&font);
}

// The run's objects, freed in a fixed order by Teardown.
struct RunObjects
{
    std::unique_ptr<ModemInfo> modem;
    std::unique_ptr<CSerial> serial;
    std::unique_ptr<ModemCmds> commands;
    std::unique_ptr<CIniFile> definitionFile;
    std::unique_ptr<CLogFile> log;
};

// Stops any worker and frees the run's objects: the worker leaves before the
// port is closed and before anything it might use is freed.
void Teardown(TestContext& context, RunObjects& run)
{
    if (run.modem)
        run.modem->stopRequested = true;
    context.worker.Wait();
    if (run.serial)
        run.serial->Close();
    run.serial.reset();
    run.commands.reset();
    run.modem.reset();
    context.modem = nullptr;
    run.log.reset();
    context.log = nullptr;
    run.definitionFile.reset();
    context.definitionFile = nullptr;
    if (context.titleFont)
        DeleteObject(context.titleFont);
    if (context.headerFont)
        DeleteObject(context.headerFont);
    context.titleFont = context.headerFont = nullptr;
}

}  // namespace

void SetUpWizard(const TestContext& context, CWelcomeP& welcome, CConfigP& search, CTestP& test,
                 CWizardSheet& sheet)
{
    if (context.oldStyleWizard) {
        welcome.SetTemplate(IDD_WELCOME, IDS_WELCOME_CAPTION);
        search.SetTemplate(IDD_SEARCH, IDS_SEARCH_CAPTION);
        test.SetTemplate(IDD_TEST, IDS_TEST_CAPTION);
        return;
    }
    welcome.SetTemplate(IDD_WELCOME97, IDS_WELCOME_CAPTION, IDS_WELCOME_TITLE, IDS_WELCOME_SUBTITLE,
                        true);
    search.SetTemplate(IDD_SEARCH97, IDS_SEARCH_CAPTION, IDS_SEARCH_TITLE, IDS_SEARCH_SUBTITLE);
    test.SetTemplate(IDD_TEST97, IDS_TEST_CAPTION, IDS_TEST_TITLE, IDS_TEST_SUBTITLE);
    sheet.SetWizard97(IDB_WATERMARK, IDB_HEADER);
}

int CProbeApp::InitInstance()
{
    return RunModemTest(m_hInstance, m_lpCmdLine);
}

int RunModemTest(HINSTANCE instance, const std::string& commandLine, WizardLook look)
{
    auto context = std::unique_ptr<TestContext>(new (std::nothrow) TestContext);
    if (!context)
        return 0;
    context->hInstance = instance;

    CommandLineOptions options = ParseCommandLine(commandLine);
    if (options.mode == StartMode::BadCommandLine)
        return STATUS_BAD_COMMAND_LINE;
    if (options.mode == StartMode::Automatic) {
        context->phoneNumber = options.phoneNumber;
        context->noDialTone = options.noDialTone;
        context->autoMode = true;
        context->searchAllPorts = false;
    }

    context->oldStyleWizard = look == WizardLook::FromCommonControls
                                  ? !SupportsWizard97(QueryCommCtlVersion())
                                  : look == WizardLook::Classic;

    CWelcomeP welcome(context.get());
    CConfigP search(context.get());
    CTestP test(context.get());
    CWizardSheet sheet(instance, IDS_APP_CAPTION);
    SetUpWizard(*context, welcome, search, test, sheet);

    RunObjects run;
    run.modem.reset(new (std::nothrow) ModemInfo);
    run.serial.reset(new (std::nothrow) CSerial);
    run.commands.reset(new (std::nothrow) ModemCmds);
    context->titleFont = CreateShellFont(12, FW_BOLD);
    context->headerFont = CreateShellFont(8, FW_BOLD);
    run.definitionFile.reset(new (std::nothrow) CIniFile);
    if (!run.modem || !run.serial || !run.commands || !context->titleFont ||
        !context->headerFont || !run.definitionFile) {
        Teardown(*context, run);
        return context->status;
    }
    // The log comes last: opening it empties the file, which a start that
    // ends here must not do to the log of an earlier run.
    run.log.reset(new (std::nothrow) CLogFile(options.logName));
    if (!run.log) {
        Teardown(*context, run);
        return context->status;
    }
    run.modem->port = options.port;
    run.modem->serialPort = run.serial.get();
    run.modem->commands = run.commands.get();
    context->modem = run.modem.get();
    context->definitionFile = run.definitionFile.get();
    context->log = run.log.get();

    WriteLogHeader(*context->log, TodayText(), context->autoMode, commandLine);
    // The report goes beside the program unless its name says where; an
    // empty name gives the program's own name with ".json".
    const std::string reportPath =
        !options.report ? std::string()
        : options.reportName.empty() ? ReplaceExtension4(ModuleFilePath(), ".json")
                                     : ReportPathFor(options.reportName, ModuleFilePath());
    if (options.report)
        StartResultReport(*context, commandLine);

    if (!context->autoMode)
        sheet.AddPage(&welcome);
    sheet.AddPage(&search);
    sheet.AddPage(&test);
    INT_PTR result = sheet.DoModal();

    if (result == IDCANCEL) {
        // The worker leaves first, so that the cancel line is the log's last
        // text and no test result overwrites the status.
        context->modem->stopRequested = true;
        context->worker.Wait();
        context->status = STATUS_CANCELLED;
        WriteCancelLine(*context->log);
    }
    if (options.report) {
        // A sheet that closed by itself has no worker left; waiting makes
        // sure the report reads the records of a finished run.
        context->worker.Wait();
        FinishResultReport(*context, reportPath);
    }

    Teardown(*context, run);
    return context->status;
}
