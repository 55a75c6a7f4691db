#include "MessageBox.h"

#include <atomic>

namespace {

std::atomic<MessageBoxHandler> g_handler{nullptr};

}  // namespace

void SetMessageBoxHandler(MessageBoxHandler handler)
{
    g_handler = handler;
}

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    if (MessageBoxHandler handler = g_handler.load())
        return handler(text, caption, type);
    return MessageBoxA(owner, text, caption, type);
}
