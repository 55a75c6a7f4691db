#include "SectionChoice.h"

namespace {

// Per row: the names of the three columns.
struct Row
{
    const char* names[3];
};

const Row kNtRows[] = {
    {{"Install.XP", "Remove.XP", "Products.XP"}},
    {{"Install.NT5", "Remove.NT5", "Products.NT5"}},
    {{"Install.NTx86", "Remove.NTx86", "Products.NTx86"}},
    {{"Install.NT", "Remove.NT", "Products.NT"}},
    {{"Install", "Remove", "Products"}},
};

const Row k9xRows[] = {
    {{"Install.WinMe", "Remove.WinMe", "Products.WinMe"}},
    {{"Install.Win98", "Remove.Win98", "Products.Win98"}},
    {{"Install.Win", "Remove.Win", "Products.Win"}},
    {{"Install", "Remove", "Products"}},
};

}  // namespace

int SectionCandidates(const WindowsVersionInfo& v, ScriptColumn column, const char* names[5])
{
    int count = 0;
    if (v.nt) {
        const bool five = v.major >= 5;
        const bool xp = five && v.minor >= 1;
        const bool use[] = {xp, five, true, true, true};
        for (int row = 0; row < 5; ++row) {
            if (use[row])
                names[count++] = kNtRows[row].names[column];
        }
    } else {
        const bool me = v.major > 4 || (v.major == 4 && v.minor > 7);
        const bool w98 = v.major > 4 || (v.major == 4 && v.minor > 0);
        const bool use[] = {me, w98, true, true};
        for (int row = 0; row < 4; ++row) {
            if (use[row])
                names[count++] = k9xRows[row].names[column];
        }
    }
    return count;
}

const char* ChooseSection(const WindowsVersionInfo& version, ScriptColumn column,
                          const std::function<bool(const char* name)>& hasLines)
{
    const char* names[5];
    const int count = SectionCandidates(version, column, names);
    for (int i = 0; i < count - 1; ++i) {
        if (hasLines(names[i]))
            return names[i];
    }
    return names[count - 1];
}
