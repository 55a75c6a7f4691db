#include "Products.h"

#include "BufCopy.h"
#include "ComponentList.h"
#include "DebugLog.h"
#include "MessageBoxes.h"
#include "ScriptFields.h"
#include "ScriptLines.h"
#include "ScriptTrace.h"

namespace {

int AllConditionsMet(HINF, const char*, char*)
{
    return 1;
}

ConditionsHook g_conditions = AllConditionsMet;

// Flags of a product line; false when field 4 is missing. The field is read
// into a 10-byte buffer.
bool ReadFlags(INFCONTEXT* line, int* flags)
{
    char text[10];
    if (!ReadScriptField(line, 4, text, sizeof(text)))
        return false;
    *flags = ScriptDecimal(text);
    return true;
}

}  // namespace

ConditionsHook SetConditionsHook(ConditionsHook hook)
{
    const ConditionsHook previous = g_conditions;
    g_conditions = hook != nullptr ? hook : AllConditionsMet;
    return previous;
}

int EvaluateConditions(HINF script, const char* section, char* failureText)
{
    return g_conditions(script, section, failureText);
}

int ReadProducts(HINF script, HWND owner, HINSTANCE module, const char* productsSection, int removeMode)
{
    ComponentListClear();
    char failureText[kFailureTextSize] = "";
    INFCONTEXT line;
    if (!SetupFindFirstLineA(script, productsSection, nullptr, &line))
        return 1;
    do {
        int flags = 0;
        const bool hasFlags = ReadFlags(&line, &flags);
        if (!removeMode) {
            if (!hasFlags || !(flags & kProductOffered))
                continue;
            char installSection[256] = "", text[kFailureTextSize] = "";
            ReadScriptField(&line, 2, installSection, sizeof(installSection));
            if (!EvaluateConditions(script, installSection, text)) {
                // The box shows the text of the last condition that failed.
                BufSet(failureText, sizeof(failureText), text);
                continue;
            }
        }
        char key[kComponentNameMax + 1];
        if (!ReadScriptField(&line, 0, key, sizeof(key)) || key[0] == '\0')
            continue;
        const int selected = (flags & kProductPreselected) ? 1 : 0;
        ScriptTrace("product %s (selected %d)\n", key, selected);
        ComponentListAdd(key, selected);
    } while (SetupFindNextLine(&line, &line));

    const int count = ComponentListCount();
    if (count == 0) {
        // The box may have no text (no condition failed: no line offers a
        // product); the debug log always says why nothing is installed.
        DebugErrorPrint("setup: [%s] offers no product that can be installed%s%s; nothing is installed\n",
                        productsSection, failureText[0] != '\0' ? ": " : "", failureText);
        FailureBox(module, owner, failureText);
    }
    return count;
}
