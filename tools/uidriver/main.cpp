// Command-line front end of the UI driver, for demonstrations and manual runs:
//   uidriver wait SECONDS           wait for a wizard window to appear
//   uidriver show                   describe the wizard's current page
//   uidriver press back|next|finish|cancel
//   uidriver click CONTROL-ID
//   uidriver text CONTROL-ID
//   uidriver close [SECONDS]        wait for a wizard, cancel it and wait until
//                                   its program has ended
//   uidriver box [SECONDS]          wait for a plain dialog or message box and
//                                   describe it (caption, text, buttons)
//   uidriver answer BUTTON          press a button of that dialog, by id or by
//                                   its text ("ok", "yes", "&No": case and "&"
//                                   do not matter)
//   uidriver session PROGRAM [ARGS...] -- STEP...
//       starts PROGRAM, carries out the steps on its windows, waits up to 60 s
//       for it to end and prints its exit code (signed) and how long it ran.
//       Steps: wait (for the wizard), show, press:back|next|finish|cancel, page:N (wait until page
//       N, counted from 1, is shown), enabled:back|next|finish (wait until
//       that button is enabled), click:ID, sleep:MS, box (wait for a plain
//       dialog or message box and describe it), answer:BUTTON, shot:FILE.BMP
//       (save the screen). Waits end after 60 s.
// The single commands act on the first visible wizard (or dialog) of any
// program. Exit code 0 on success, 1 when there is no wizard or dialog, the
// control or button does not exist or a step fails, 2 on bad arguments.
#include "UiDriver.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace uidriver;

namespace {

bool ParseButton(const char* name, WizardButton& button)
{
    if (std::strcmp(name, "back") == 0)
        button = WizardButton::Back;
    else if (std::strcmp(name, "next") == 0)
        button = WizardButton::Next;
    else if (std::strcmp(name, "finish") == 0)
        button = WizardButton::Finish;
    else if (std::strcmp(name, "cancel") == 0)
        button = WizardButton::Cancel;
    else
        return false;
    return true;
}

// Presses `button` (an id or a button text) of `dialog`.
bool Answer(HWND dialog, const char* button)
{
    char* end = nullptr;
    long id = std::strtol(button, &end, 10);
    if (end == button || *end != '\0')
        id = FindDialogButton(dialog, button);
    return id != 0 && PressDialogButton(dialog, static_cast<int>(id));
}

// Runs one session step; false when it fails.
bool Step(const std::string& step, DWORD processId, HWND& sheet)
{
    std::string verb = step.substr(0, step.find(':'));
    std::string value = step.find(':') == std::string::npos ? "" : step.substr(step.find(':') + 1);
    if (verb == "box") {
        HWND dialog = WaitForDialog(processId, 30000);
        std::fputs(DescribeDialog(dialog).c_str(), stdout);
        return dialog != nullptr;
    }
    if (verb == "answer") {
        HWND dialog = FindDialog(processId);
        return dialog && Answer(dialog, value.c_str());
    }
    if (verb == "wait") {
        sheet = WaitForWizard(processId, 30000);
        return sheet != nullptr;
    }
    if (verb == "shot")
        return SaveScreenshot(value);
    if (verb == "sleep") {
        Sleep(std::strtoul(value.c_str(), nullptr, 10));
        return true;
    }
    if (!sheet && !(sheet = FindWizard(processId)))
        return false;
    if (verb == "show") {
        std::fputs(Describe(sheet).c_str(), stdout);
        return true;
    }
    if (verb == "press") {
        WizardButton button;
        if (!ParseButton(value.c_str(), button))
            return false;
        Press(sheet, button);
        return true;
    }
    if (verb == "page") {
        int index = std::atoi(value.c_str()) - 1;
        return WaitFor([&] { return CurrentPageIndex(sheet) == index; }, 60000);
    }
    if (verb == "enabled") {
        WizardButton button;
        return ParseButton(value.c_str(), button) &&
               WaitFor([&] { return ButtonEnabled(sheet, button); }, 60000);
    }
    if (verb == "click")
        return Click(sheet, std::atoi(value.c_str()));
    return false;
}

int Session(int argc, char** argv)
{
    std::string commandLine;
    int i = 2;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (!commandLine.empty())
            commandLine += ' ';
        commandLine += std::strchr(argv[i], ' ') ? "\"" + std::string(argv[i]) + "\"" : argv[i];
    }
    if (commandLine.empty() || i == argc)
        return 2;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "uidriver: cannot start %s (error %lu)\n", commandLine.c_str(),
                     GetLastError());
        return 1;
    }
    const DWORD started = GetTickCount();
    int result = 0;
    HWND sheet = nullptr;
    for (++i; i < argc; ++i) {
        std::printf("> %s\n", argv[i]);
        std::fflush(stdout);
        if (!Step(argv[i], process.dwProcessId, sheet)) {
            std::fprintf(stderr, "uidriver: step '%s' failed\n", argv[i]);
            result = 1;
            break;
        }
    }
    DWORD exitCode = 0;
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0 &&
        GetExitCodeProcess(process.hProcess, &exitCode)) {
        std::printf("exit code %ld after %lu ms\n", static_cast<long>(exitCode),
                    static_cast<unsigned long>(GetTickCount() - started));
    } else {
        std::printf("still running after 60 s: ended\n");
        TerminateProcess(process.hProcess, 1);
        result = 1;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: uidriver wait SECONDS | show | press BUTTON | click ID | text ID | close SECONDS |"
                             " box SECONDS | answer BUTTON | session PROGRAM ... -- STEP...\n");
        return 2;
    }
    const char* command = argv[1];
    if (std::strcmp(command, "session") == 0)
        return Session(argc, argv);
    if (std::strcmp(command, "wait") == 0) {
        DWORD seconds = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 10;
        return WaitForWizard(0, seconds * 1000) ? 0 : 1;
    }
    if (std::strcmp(command, "close") == 0) {
        DWORD ms = (argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 10) * 1000;
        HWND wizard = WaitForWizard(0, ms);
        if (!wizard) {
            std::fprintf(stderr, "uidriver: no wizard window\n");
            return 1;
        }
        return CancelAndWaitForEnd(wizard, ms) ? 0 : 1;
    }
    if (std::strcmp(command, "box") == 0) {
        DWORD seconds = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 10;
        HWND dialog = WaitForDialog(0, seconds * 1000);
        std::fputs(DescribeDialog(dialog).c_str(), dialog ? stdout : stderr);
        return dialog ? 0 : 1;
    }
    if (std::strcmp(command, "answer") == 0) {
        if (argc < 3)
            return 2;
        HWND dialog = FindDialog(0);
        if (!dialog) {
            std::fprintf(stderr, "uidriver: no dialog window\n");
            return 1;
        }
        return Answer(dialog, argv[2]) ? 0 : 1;
    }
    HWND sheet = FindWizard(0);
    if (!sheet) {
        std::fprintf(stderr, "uidriver: no wizard window\n");
        return 1;
    }
    if (std::strcmp(command, "show") == 0) {
        std::fputs(Describe(sheet).c_str(), stdout);
        return 0;
    }
    if (std::strcmp(command, "press") == 0 && argc > 2) {
        WizardButton button;
        if (!ParseButton(argv[2], button))
            return 2;
        Press(sheet, button);
        return 0;
    }
    if ((std::strcmp(command, "click") == 0 || std::strcmp(command, "text") == 0) && argc > 2) {
        int id = std::atoi(argv[2]);
        if (!PageControl(sheet, id))
            return 1;
        if (command[0] == 'c')
            return Click(sheet, id) ? 0 : 1;
        std::printf("%s\n", ControlText(sheet, id).c_str());
        return 0;
    }
    return 2;
}
