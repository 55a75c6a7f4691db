#include "VersionText.h"

#include "ScriptFields.h"

#include <climits>

namespace {

int Clamp(long long value)
{
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

}  // namespace

int CompareVersionTexts(const char* given, const char* installed)
{
    long long a = 0, b = 0;
    for (;;) {
        a = ScriptDecimal(given, &given);
        b = ScriptDecimal(installed, &installed);
        if (a != b || *installed != '.' || *given != '.')
            break;
        ++given;
        ++installed;
    }
    return Clamp(a - b);
}
