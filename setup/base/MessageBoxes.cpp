#include "MessageBoxes.h"

#include "resource.h"

#include <atomic>
#include <string>

namespace {

std::atomic<MessageBoxHook> g_hook{nullptr};

// The system's text for `error` in `language`; the text in the system's
// own language when `language` has none.
std::string SystemMessage(DWORD error, LANGID language)
{
    const DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                        FORMAT_MESSAGE_IGNORE_INSERTS;
    char* text = nullptr;
    DWORD length = FormatMessageA(flags, nullptr, error, language, reinterpret_cast<char*>(&text),
                                  0, nullptr);
    if (length == 0 && language != 0)
        length = FormatMessageA(flags, nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message;
    if (length != 0 && text)
        message.assign(text, length);
    if (text)
        LocalFree(text);
    return message;
}

}  // namespace

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook)
{
    return g_hook.exchange(hook);
}

int DefaultMessageBoxAnswer(UINT type)
{
    static const int kButtons[][3] = {
        {IDOK, IDOK, IDOK},              // MB_OK
        {IDOK, IDCANCEL, IDOK},              // MB_OKCANCEL
        {IDABORT, IDRETRY, IDIGNORE},        // MB_ABORTRETRYIGNORE
        {IDYES, IDNO, IDCANCEL},             // MB_YESNOCANCEL
        {IDYES, IDNO, IDYES},                // MB_YESNO
        {IDRETRY, IDCANCEL, IDRETRY},        // MB_RETRYCANCEL
        {IDCANCEL, IDTRYAGAIN, IDCONTINUE},  // MB_CANCELTRYCONTINUE
    };
    UINT buttons = type & MB_TYPEMASK;
    UINT defaultButton = (type & MB_DEFMASK) >> 8;
    if (buttons >= sizeof(kButtons) / sizeof(kButtons[0]))
        buttons = 0;
    if (defaultButton > 2)
        defaultButton = 0;
    return kButtons[buttons][defaultButton];
}

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    if (MessageBoxHook hook = g_hook.load())
        return hook(owner, text, caption, type);
    return MessageBoxA(owner, text, caption, type);
}

int ErrorBox(HWND owner, const char* text, DWORD error, LANGID language)
{
    std::string message = text ? text : "";
    if (error != 0)
        message += "\r\n\r\n" + SystemMessage(error, language);
    ShowMessageBox(owner, message.c_str(), nullptr, MB_OK | MB_ICONERROR);
    return 0;
}

int FailureBox(HINSTANCE module, HWND owner, const char* text)
{
    char caption[256] = "";
    LoadStringA(module, IDS_CANNOT_EXECUTE, caption, sizeof(caption));
    return ShowMessageBox(owner, text, caption, MB_OK);
}
