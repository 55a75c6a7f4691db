#include "FolderSecurity.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

const char kTargetFolderSddl[] = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

namespace {

// Rights that change a folder, a file in it or their protection.
const unsigned long kWriteRights = 0x2UL | 0x4UL | 0x10UL | 0x40UL | 0x100UL  // data, append, EA, children, attributes
                                   | 0x10000UL                               // DELETE
                                   | 0x40000UL | 0x80000UL                   // WRITE_DAC, WRITE_OWNER
                                   | 0x10000000UL | 0x40000000UL;            // GENERIC_ALL, GENERIC_WRITE

// The rights of an entry's rights field: a number ("0x1200a9") or letters.
unsigned long Rights(const std::string& field)
{
    if (field.size() > 2 && field[0] == '0' && (field[1] == 'x' || field[1] == 'X'))
        return std::strtoul(field.c_str(), nullptr, 16);
    static const struct
    {
        const char* letters;
        unsigned long mask;
    } kLetters[] = {
        {"GA", 0x10000000UL}, {"GR", 0x80000000UL}, {"GW", 0x40000000UL}, {"GX", 0x20000000UL},
        {"FA", 0x1F01FFUL},   {"FR", 0x120089UL},   {"FW", 0x120116UL},   {"FX", 0x1200A0UL},
        {"SD", 0x10000UL},    {"RC", 0x20000UL},    {"WD", 0x40000UL},    {"WO", 0x80000UL},
        {"CC", 0x1UL},        {"DC", 0x2UL},        {"LC", 0x4UL},        {"SW", 0x8UL},
        {"RP", 0x10UL},       {"WP", 0x20UL},       {"DT", 0x40UL},       {"LO", 0x80UL},
        {"CR", 0x100UL},
    };
    unsigned long mask = 0;
    for (size_t i = 0; i + 1 < field.size(); i += 2) {
        bool known = false;
        for (const auto& letter : kLetters) {
            if (field.compare(i, 2, letter.letters) == 0) {
                mask |= letter.mask;
                known = true;
            }
        }
        if (!known)
            return 0xFFFFFFFFUL;  // a right we cannot read counts as writing
    }
    return mask;
}

bool IsUsersSid(const std::string& sid)
{
    for (const char* name : {"WD", "AU", "BU", "IU", "S-1-1-0", "S-1-5-11", "S-1-5-32-545", "S-1-5-4"}) {
        if (sid == name)
            return true;
    }
    return false;
}

// The text of the "D:" part: its flags and entries, up to the next part.
std::string DaclPart(const std::string& sddl)
{
    const size_t start = sddl.find("D:");
    if (start == std::string::npos)
        return std::string();
    size_t end = start + 2;
    int depth = 0;
    for (; end < sddl.size(); ++end) {
        if (sddl[end] == '(')
            ++depth;
        else if (sddl[end] == ')')
            --depth;
        else if (depth == 0 && end + 1 < sddl.size() && sddl[end + 1] == ':' &&
                 (sddl[end] == 'S' || sddl[end] == 'O' || sddl[end] == 'G'))
            break;
    }
    return sddl.substr(start + 2, end - start - 2);
}

std::string Field(const std::string& entry, int index)
{
    size_t start = 0;
    for (int i = 0; i < index; ++i) {
        start = entry.find(';', start);
        if (start == std::string::npos)
            return std::string();
        ++start;
    }
    const size_t end = entry.find(';', start);
    return entry.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace

bool SddlDaclProtected(const std::string& sddl)
{
    std::string flags = DaclPart(sddl);
    flags.erase(std::min(flags.find('('), flags.size()));
    for (const char* other : {"NO_ACCESS_CONTROL", "AR", "AI"}) {
        for (size_t at; (at = flags.find(other)) != std::string::npos;)
            flags.erase(at, std::strlen(other));
    }
    return flags.find('P') != std::string::npos;
}

bool SddlLetsUsersWrite(const std::string& sddl)
{
    const std::string dacl = DaclPart(sddl);
    if (sddl.find("D:") == std::string::npos || dacl.find("NO_ACCESS_CONTROL") != std::string::npos)
        return true;
    for (size_t open = dacl.find('('); open != std::string::npos; open = dacl.find('(', open + 1)) {
        const size_t close = dacl.find(')', open);
        if (close == std::string::npos)
            return true;  // cut text: assume the worst
        const std::string entry = dacl.substr(open + 1, close - open - 1);
        if (Field(entry, 0) == "A" && IsUsersSid(Field(entry, 5)) && (Rights(Field(entry, 2)) & kWriteRights) != 0)
            return true;
    }
    return false;
}
