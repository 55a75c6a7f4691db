// Registry lines of AddReg and DelReg sections; see RegistryLines.h.
#include "RegistryLines.h"

#include "InfDocument.h"
#include "IntField.h"

#include <cstdio>
#include <cstdlib>

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

std::string Field(const std::vector<std::string>& fields, size_t n)
{
    return n >= 1 && n <= fields.size() ? fields[n - 1] : std::string();
}

std::string Hex(uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

std::string TypeName(uint32_t type)
{
    switch (type) {
    case 0: return "REG_NONE";
    case 1: return "REG_SZ";
    case 2: return "REG_EXPAND_SZ";
    case 3: return "REG_BINARY";
    case 4: return "REG_DWORD";
    case 7: return "REG_MULTI_SZ";
    default: return "type " + std::to_string(type);
    }
}

uint32_t ValueType(uint32_t flags)
{
    switch (flags & kTypeMask) {
    case 0x00000000: return 1;
    case 0x00010000: return 7;
    case 0x00020000: return 2;
    case 0x00000001: return 3;
    case 0x00010001: return 4;
    case 0x00020001: return 0;
    default: return flags >> 16;
    }
}

// Fields 5, 6, ... as one multi-string: each string ended by a NUL.
std::string MultiString(const std::vector<std::string>& fields)
{
    std::string data;
    for (size_t n = 5; n <= fields.size(); ++n) data += fields[n - 1] + '\0';
    return data;
}

// Fields 5, 6, ... as hexadecimal bytes ("01 ff"); false when one is not a
// byte, which makes the Setup API read no data at all.
bool BinaryData(const std::vector<std::string>& fields, std::string* data)
{
    data->clear();
    for (size_t n = 5; n <= fields.size(); ++n) {
        const std::string& text = fields[n - 1];
        char* end = nullptr;
        const long value = std::strtol(text.c_str(), &end, 16);
        if (text.empty() || *end != '\0' || value < 0 || value > 0xFF) {
            data->clear();
            return false;
        }
        char byte[4];
        std::snprintf(byte, sizeof byte, "%02x", static_cast<unsigned>(value));
        *data += (data->empty() ? "" : " ") + std::string(byte);
    }
    return true;
}

// The deletion a line asks for: of a value, of one string of a
// multi-string value, or of the whole key.
void Deletion(PlanItem* item, const std::vector<std::string>& fields, uint32_t flags)
{
    const std::string value = Field(fields, 3);
    item->note = "when the key exists";
    if (!value.empty() && !(flags & kKeyOnlyCommon)) {
        if ((flags & kMultiSzDeleteString) == kMultiSzDeleteString) {
            item->action = "delete-string";
            item->Field("value", value).Field("data", Field(fields, 5));
            item->note = "the string is taken out of the multi-string value, when it is one";
        } else {
            item->action = "delete-value";
            item->Field("value", value);
        }
    } else {
        item->action = "delete-key";
        item->note = "with all its sub-keys and values, when it exists";
    }
}

}  // namespace

int32_t RegistryLineFlags(const std::vector<std::string>& fields)
{
    return SetupIntField(Field(fields, 4)).value_or(0);
}

PlanItem RegistryLineItem(const std::vector<std::string>& fields, bool delReg)
{
    PlanItem item;
    const std::string rootName = Field(fields, 1);
    const std::string subKey = Field(fields, 2);
    std::string root;
    for (const char* known : kRoots)
        if (SameName(rootName, known)) root = known;
    item.Field("key", root.empty() ? rootName + (subKey.empty() ? "" : "\\" + subKey)
                                   : root + (subKey.empty() ? "" : "\\" + subKey));
    int32_t flags = RegistryLineFlags(fields);
    const uint32_t bits = static_cast<uint32_t>(flags);
    if (root.empty()) {
        item.action = "skip";
        item.note = SameName(rootName, "HKR") ? "HKR names no key here: setup.exe gives the Setup API no relative root"
                                              : "\"" + rootName + "\" is no registry root (HKCR, HKCU, HKLM, HKU)";
        return item;
    }
    if (delReg) {
        if (!DelRegCarriesOut(flags)) {
            item.action = "skip";
            item.Field("value", Field(fields, 3)).Field("flags", Hex(bits));
            item.note = "the flags are AddReg flags, not DelReg flags (0, or with the deletion bit 0x8000): the Setup "
                        "API skips the line, so nothing is deleted";
            return item;
        }
        Deletion(&item, fields, flags == 0 ? static_cast<uint32_t>(kRegDeletionBit) : bits);
        return item;
    }
    if (bits & kRegDeletionBit) {
        item.action = "skip";
        item.Field("value", Field(fields, 3)).Field("flags", Hex(bits));
        item.note = "the flags carry the deletion bit 0x8000: the Setup API leaves such a line to DelReg";
        return item;
    }
    if (bits & kDeleteValue) {
        Deletion(&item, fields, bits);
        return item;
    }
    const bool onlyPresent = (bits & kOverwriteOnly) != 0;
    if (bits & (kKeyOnly | kKeyOnlyCommon)) {
        item.action = "create-key";
        item.note = onlyPresent ? "only opened: nothing changes" : "when missing";
        return item;
    }
    const std::string value = Field(fields, 3);
    const uint32_t type = ValueType(bits);
    item.Field("value", value).Field("type", TypeName(type));
    std::string data;
    bool read = true;
    if (!(bits & kBinaryValueType) || (type == 4 && fields.size() == 5)) {
        if (type == 4)
            data = std::to_string(static_cast<uint32_t>(std::strtoul(Field(fields, 5).c_str(), nullptr, 0)));
        else if (type == 7)
            data = MultiString(fields);
        else
            data = Field(fields, 5);
    } else {
        read = BinaryData(fields, &data);
    }
    if (type == 7 && (bits & kAppend)) {
        item.action = "append-strings";
        item.Field("data", data);
        item.note = "each string not yet in the multi-string value is appended, when the value exists as one";
        return item;
    }
    item.action = "set-value";
    item.Field("data", data);
    std::string note;
    if (bits & kNoClobber) note = "only when the value does not exist yet";
    if (onlyPresent) note = "only when the key and the value exist already";
    if (!read) note += std::string(note.empty() ? "" : "; ") + "no data: a field after the flags is no hexadecimal byte";
    item.note = note;
    return item;
}
