// A plug-in and condition library for the tests. It implements every export
// of the interface, appends one line per call with its arguments to the
// file named by the environment variable PLUGIN_TEST_LOG
// ("<file name>|<call>|<argument>|..."), and does what the items of its
// parameter text (separated by ";") ask:
//   step=L/R[/Name]  a step at level L with progress range R, export Name
//                    (default TestStep)
//   pages=L/N        N wizard pages at level L
//   restart          its steps ask for a restart
//   copy=SRC>DST     its steps queue the copy of SRC to DST
//   delete=PATH      its steps queue the deletion of PATH
//   kill             its steps end the process at once (exit code 57005,
//                    0xDEAD), as a user or a crash would in that phase
//   kill=copy        its steps end the process as soon as the target
//                    directory holds a file: during the file copy that follows
// The first item names the listing. The interface version is 1, or N when
// the file name ends in "_vN" (copies of the library). .def files choose
// which exports a build of it has.
#include "PluginInterface.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

HMODULE g_module = nullptr;
std::map<std::string, int*> g_selected;  // selection flag per listing name
std::string g_failure;                   // text of the condition that failed last
int g_pagesFilled = 0;

std::string ModuleName()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(g_module, path, sizeof(path));
    std::string name = std::strrchr(path, '\\') != nullptr ? std::strrchr(path, '\\') + 1 : path;
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

void Log(const std::string& call)
{
    char path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("PLUGIN_TEST_LOG", path, sizeof(path));
    HANDLE file = length > 0 && length < sizeof(path)
                      ? CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr)
                      : INVALID_HANDLE_VALUE;
    const std::string line = ModuleName() + "|" + call + "\n";
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

std::string Text(const char* text)
{
    return text != nullptr ? text : "(null)";
}

// The values of the items "key=value" of `parameter` in order; "" for an
// item that is just "key".
std::vector<std::string> Items(const char* parameter, const std::string& key)
{
    std::vector<std::string> values;
    const std::string text = Text(parameter) + ";";
    for (size_t start = 0, end; (end = text.find(';', start)) != std::string::npos; start = end + 1) {
        const std::string item = text.substr(start, end - start);
        if (item == key || item.compare(0, key.size() + 1, key + "=") == 0)
            values.push_back(item.substr(std::min(item.size(), key.size() + 1)));
    }
    return values;
}

constexpr UINT kKilledExit = 0xDEAD;

void Kill(const std::string& when)
{
    Log("kill|" + when);
    TerminateProcess(GetCurrentProcess(), kKilledExit);
}

// Watches the target directory (given as a heap string, which it frees)
// and ends the process once a file is in it; gives up after 30 s.
DWORD WINAPI KillOnFirstFile(void* parameter)
{
    const std::string pattern = *static_cast<std::string*>(parameter) + "\\*";
    delete static_cast<std::string*>(parameter);
    for (int waited = 0; waited < 30000; ++waited) {
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA(pattern.c_str(), &found);
        bool file = false;
        for (BOOL more = find != INVALID_HANDLE_VALUE; more && !file; more = FindNextFileA(find, &found))
            file = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
        if (find != INVALID_HANDLE_VALUE)
            FindClose(find);
        if (file)
            Kill(std::string("copy|") + found.cFileName);
        Sleep(1);
    }
    return 0;
}

std::string Name(const char* parameter)
{
    const std::string text = Text(parameter);
    return text.substr(0, text.find(';'));
}

int PagesAt(int level, const char* parameter)
{
    int count = 0;
    for (const std::string& value : Items(parameter, "pages")) {
        int at = -1, pages = 0;
        if (std::sscanf(value.c_str(), "%d/%d", &at, &pages) == 2 && at == level)
            count += pages;
    }
    return count;
}

// Its pages (dialog 100) show "plug-in page <record number>" in control
// 1000 and offer Back and Next.
INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        const auto* record = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
        SetDlgItemTextA(page, 1000, ("plug-in page " + std::to_string(record->lParam)).c_str());
        return TRUE;
    }
    if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == PSN_SETACTIVE) {
        SendMessageA(GetParent(page), PSM_SETWIZBUTTONS, 0, PSWIZB_BACK | PSWIZB_NEXT);
        SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    g_module = instance;
    if (reason == DLL_PROCESS_ATTACH || reason == DLL_PROCESS_DETACH)
        Log(reason == DLL_PROCESS_ATTACH ? "attach" : "detach");
    return TRUE;
}

extern "C" {

int __cdecl GetVersionNumber(void)
{
    Log("GetVersionNumber");
    const std::string name = ModuleName();
    return name.rfind("_v") != std::string::npos ? std::atoi(name.c_str() + name.rfind("_v") + 2) : 1;
}

void __cdecl QueryPlugin(int* selected, const char* parameter)
{
    g_selected[Name(parameter)] = selected;
    Log("QueryPlugin|" + std::to_string(*selected) + "|" + Text(parameter));
}

int __cdecl QueryPluginSteps(const char* parameter)
{
    Log("QueryPluginSteps|" + Text(parameter));
    return static_cast<int>(Items(parameter, "step").size());
}

void __cdecl GetPluginStep(PluginStep* step, int index, const char* parameter)
{
    Log("GetPluginStep|" + std::to_string(index) + "|" + Text(parameter));
    char name[kPluginNameSize] = "TestStep";
    std::sscanf(Items(parameter, "step").at(static_cast<size_t>(index)).c_str(), "%d/%d/%255s", &step->level,
                &step->progressRange, name);
    std::snprintf(step->exportName, sizeof(step->exportName), "%s", name);
    std::snprintf(step->status, sizeof(step->status), "step %d of %s", index, Text(parameter).c_str());
}

int __cdecl QueryPluginPages(int level, const char* parameter)
{
    Log("QueryPluginPages|" + std::to_string(level) + "|" + Text(parameter));
    return PagesAt(level, parameter);
}

void __cdecl GetPluginPages(int level, void* first, int wizard97, const char* parameter)
{
    Log("GetPluginPages|" + std::to_string(level) + "|" + std::to_string(wizard97) + "|" + Text(parameter));
    const size_t size = wizard97 ? sizeof(PluginPageWizard97) : sizeof(PluginPageClassic);
    for (int page = 0; page < PagesAt(level, parameter); ++page) {
        PluginPageWizard97 record = {};
        record.dwSize = static_cast<DWORD>(size);
        record.hInstance = g_module;
        record.pszTemplate = MAKEINTRESOURCEA(100);
        record.pfnDlgProc = PageProc;
        record.lParam = ++g_pagesFilled;
        std::memcpy(static_cast<unsigned char*>(first) + static_cast<size_t>(page) * size, &record, size);
    }
}

// Records what a step sees: its arguments, the page's status line and
// progress bar (control 1210, as on the ready page), what the progress
// callback answers and its listing's selection flag; then queues and asks
// for a restart as its parameter says.
void __cdecl TestStep(ProgressCallbackFn progress, QueueCallbackFn queue, HWND page, int installing, int* restart,
                      const char* parameter, const char* targetDirectory)
{
    char status[kPluginStatusSize] = "";
    GetDlgItemTextA(page, 1203, status, sizeof(status));
    HWND bar = GetDlgItem(page, 1210);
    const int range = static_cast<int>(SendMessageA(bar, PBM_GETRANGE, FALSE, 0));
    const int first = progress(range / 2), second = progress(range);
    const auto selected = g_selected.find(Name(parameter));
    Log("TestStep|" + Text(parameter) + "|" + Text(targetDirectory) + "|installing=" + std::to_string(installing) +
        "|restart=" + std::to_string(*restart) + (queue != nullptr ? "|queue" : "|no queue") + "|status=" + status +
        (IsWindowVisible(bar) ? "|bar shown" : "|bar hidden") + "|range=" + std::to_string(range) +
        "|progress=" + std::to_string(first) + "," + std::to_string(second) +
        "|selected=" + (selected != g_selected.end() ? std::to_string(*selected->second) : "?"));
    for (const std::string& value : queue != nullptr ? Items(parameter, "copy") : std::vector<std::string>()) {
        const size_t arrow = value.find('>');
        queue(value.substr(0, arrow).c_str(), value.substr(arrow + 1).c_str(), SP_COPY_NOOVERWRITE);
    }
    for (const std::string& path : queue != nullptr ? Items(parameter, "delete") : std::vector<std::string>())
        queue(path.c_str(), nullptr, 0);
    if (!Items(parameter, "restart").empty())
        *restart = 1;
    for (const std::string& when : Items(parameter, "kill")) {
        if (when.empty())
            Kill("step");
        HANDLE watcher = CreateThread(nullptr, 0, KillOnFirstFile, new std::string(Text(targetDirectory)), 0, nullptr);
        if (watcher != nullptr)
            CloseHandle(watcher);
    }
}

int __cdecl ConditionMet(void)
{
    Log("ConditionMet");
    return 1;
}

int __cdecl ConditionFails(void)
{
    Log("ConditionFails");
    g_failure = "The condition of " + ModuleName() + " is not met.";
    return 0;
}

// Fails and leaves a failure text without its terminator.
int __cdecl ConditionFailsUnterminated(void)
{
    Log("ConditionFailsUnterminated");
    g_failure = std::string(kPluginFailTextSize, 'u');
    return 0;
}

void __cdecl GetLastFailMessage(char* text)
{
    Log("GetLastFailMessage");
    std::memcpy(text, g_failure.c_str(), std::min<size_t>(g_failure.size() + 1, kPluginFailTextSize));
}

}  // extern "C"
