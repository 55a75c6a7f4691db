// queuecopy: the Setup API's file copy alone, for make bench: every file
// below SOURCE (recursively) is queued with SetupQueueCopyA to the same
// place below TARGET, and the queue is committed with the default callback
// (no window). Beside setup.exe on the same files, it shows how much of an
// installation's time the Setup API's copy takes by itself.
//
//   queuecopy SOURCE TARGET
//
// Exit code 0 when the commit succeeded, 1 when it failed, 2 on bad arguments.
#include <windows.h>

#include <setupapi.h>

#include <string>

namespace {

// Queues every file below `source` (path relative to the roots: `relative`).
void QueueTree(HSPFILEQ queue, const std::string& source, const std::string& target, const std::string& relative)
{
    const std::string from = relative.empty() ? source : source + "\\" + relative;
    const std::string to = relative.empty() ? target : target + "\\" + relative;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((from + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            QueueTree(queue, source, target, relative.empty() ? name : relative + "\\" + name);
        else
            SetupQueueCopyA(queue, from.c_str(), nullptr, name.c_str(), nullptr, nullptr, to.c_str(), nullptr, 0);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) return 2;
    HSPFILEQ queue = SetupOpenFileQueue();
    if (queue == INVALID_HANDLE_VALUE) return 1;
    QueueTree(queue, argv[1], argv[2], "");
    // INVALID_HANDLE_VALUE as the owner: the default callback shows nothing.
    PVOID context = SetupInitDefaultQueueCallbackEx(nullptr, static_cast<HWND>(INVALID_HANDLE_VALUE), 0, 0, nullptr);
    const BOOL committed = context != nullptr && SetupCommitFileQueueA(nullptr, queue, SetupDefaultQueueCallbackA, context);
    if (context != nullptr) SetupTermDefaultQueueCallback(context);
    SetupCloseFileQueue(queue);
    return committed ? 0 : 1;
}
