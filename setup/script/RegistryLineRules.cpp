#include "RegistryLineRules.h"

#include "BufCopy.h"

namespace {

enum : uint32_t {
    kBinaryValueType = 0x00000001,
    kNoClobber = 0x00000002,
    kDeleteValue = 0x00000004,
    kAppend = 0x00000008,
    kKeyOnly = 0x00000010,
    kOverwriteOnly = 0x00000020,
    kKeyOnlyCommon = 0x00002000,
    kTypeMask = 0xFFFF0000u | kBinaryValueType,
    kMultiSzDeleteString = 0x00018002,
};

const char* const kRoots[] = {"HKCR", "HKCU", "HKLM", "HKU"};

bool SameAscii(const char* a, const char* b)
{
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        const char x = *a >= 'a' && *a <= 'z' ? static_cast<char>(*a - 'a' + 'A') : *a;
        const char y = *b >= 'a' && *b <= 'z' ? static_cast<char>(*b - 'a' + 'A') : *b;
        if (x != y)
            return false;
    }
    return *a == *b;
}

// A deletion: of one string of a multi-string value, of a value, or of the
// whole key when no value is named or the flags say the key.
RegistryChange Deletion(const char* valueName, uint32_t flags)
{
    if (valueName[0] == '\0' || (flags & kKeyOnlyCommon) != 0)
        return RegistryChange::DeleteKey;
    return (flags & kMultiSzDeleteString) == kMultiSzDeleteString ? RegistryChange::DeleteString
                                                                 : RegistryChange::DeleteValue;
}

}  // namespace

uint32_t RegistryValueType(uint32_t flags)
{
    switch (flags & kTypeMask) {
    case 0x00000000: return 1;  // REG_SZ
    case 0x00010000: return 7;  // REG_MULTI_SZ
    case 0x00020000: return 2;  // REG_EXPAND_SZ
    case 0x00000001: return 3;  // REG_BINARY
    case 0x00010001: return 4;  // REG_DWORD
    case 0x00020001: return 0;  // REG_NONE
    default: return flags >> 16;
    }
}

RegistryLine ReadRegistryLine(const char* rootField, const char* valueName, uint32_t flags, bool delReg)
{
    RegistryLine line;
    for (const char* root : kRoots) {
        if (SameAscii(rootField, root))
            line.root = root;
    }
    if (line.root == nullptr) {
        line.skip = SameAscii(rootField, "HKR") ? RegistrySkip::RelativeRoot : RegistrySkip::UnknownRoot;
        return line;
    }
    if (delReg) {
        if (!DelRegCarriesOut(flags))
            line.skip = RegistrySkip::AddRegFlagsInDelReg;
        else
            line.change = Deletion(valueName, flags == 0 ? static_cast<uint32_t>(kRegDeletionBit) : flags);
        return line;
    }
    if (flags & kRegDeletionBit) {
        line.skip = RegistrySkip::DeletionBitInAddReg;
        return line;
    }
    if (flags & kDeleteValue) {
        line.change = Deletion(valueName, flags);
        return line;
    }
    if (flags & (kKeyOnly | kKeyOnlyCommon)) {
        line.change = RegistryChange::CreateKey;
        line.onlyWhenPresent = (flags & kOverwriteOnly) != 0;
        return line;
    }
    line.type = RegistryValueType(flags);
    line.change = line.type == 7 && (flags & kAppend) ? RegistryChange::AppendStrings : RegistryChange::SetValue;
    line.onlyWhenMissing = (flags & kNoClobber) != 0;
    line.onlyWhenPresent = (flags & kOverwriteOnly) != 0;
    return line;
}

const char* RegistryChangeName(RegistryChange change)
{
    switch (change) {
    case RegistryChange::SetValue: return "set-value";
    case RegistryChange::CreateKey: return "create-key";
    case RegistryChange::AppendStrings: return "append-strings";
    case RegistryChange::DeleteValue: return "delete-value";
    case RegistryChange::DeleteKey: return "delete-key";
    case RegistryChange::DeleteString: return "delete-string";
    case RegistryChange::Skip: break;
    }
    return "skip";
}

const char* RegistryTypeName(uint32_t type, char* buffer, size_t size)
{
    static const char* const kNames[] = {"REG_NONE", "REG_SZ", "REG_EXPAND_SZ", "REG_BINARY", "REG_DWORD",
                                         nullptr, nullptr, "REG_MULTI_SZ"};
    if (type < sizeof(kNames) / sizeof(kNames[0]) && kNames[type] != nullptr)
        BufSet(buffer, size, kNames[type]);
    else
        BufFormat(buffer, size, "type %u", static_cast<unsigned>(type));
    return buffer;
}
