#include "UnattendedBoxes.h"

#include "DebugLog.h"
#include "MessageBoxes.h"

int AnswerUnattended(HWND, const char* text, const char* caption, UINT type)
{
    int answer = DefaultMessageBoxAnswer(type);
    DebugErrorPrint("unattended: message box \"%s\": %s\n(answered with button %d)\n", caption ? caption : "",
                    text ? text : "", answer);
    return answer;
}
