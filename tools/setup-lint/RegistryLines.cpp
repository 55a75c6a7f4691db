// Registry lines of AddReg and DelReg sections; see RegistryLines.h.
#include "RegistryLines.h"

#include "InfDocument.h"
#include "IntField.h"

#include <cstdio>
#include <cstdlib>

namespace {

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

// The fields and note of a deletion: of a value, of one string of a
// multi-string value, or of the whole key.
void Deletion(PlanItem* item, const std::vector<std::string>& fields, RegistryChange change)
{
    item->note = "when the key exists";
    if (change == RegistryChange::DeleteString) {
        item->Field("value", Field(fields, 3)).Field("data", Field(fields, 5));
        item->note = "the string is taken out of the multi-string value, when it is one";
    } else if (change == RegistryChange::DeleteValue) {
        item->Field("value", Field(fields, 3));
    } else {
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
    const int32_t flags = RegistryLineFlags(fields);
    const uint32_t bits = static_cast<uint32_t>(flags);
    const RegistryLine line = ReadRegistryLine(rootName.c_str(), Field(fields, 3).c_str(), bits, delReg);
    const std::string root = line.root ? line.root : rootName;
    item.Field("key", root + (subKey.empty() ? "" : "\\" + subKey));
    item.action = RegistryChangeName(line.change);
    switch (line.skip) {
    case RegistrySkip::UnknownRoot:
        item.note = "\"" + rootName + "\" is no registry root (HKCR, HKCU, HKLM, HKU)";
        return item;
    case RegistrySkip::RelativeRoot:
        item.note = "HKR names no key here: setup.exe gives the Setup API no relative root";
        return item;
    case RegistrySkip::AddRegFlagsInDelReg:
        item.Field("value", Field(fields, 3)).Field("flags", Hex(bits));
        item.note = "the flags are AddReg flags, not DelReg flags (0, or with the deletion bit 0x8000): the Setup "
                    "API skips the line, so nothing is deleted";
        return item;
    case RegistrySkip::DeletionBitInAddReg:
        item.Field("value", Field(fields, 3)).Field("flags", Hex(bits));
        item.note = "the flags carry the deletion bit 0x8000: the Setup API leaves such a line to DelReg";
        return item;
    case RegistrySkip::None:
        break;
    }
    switch (line.change) {
    case RegistryChange::DeleteKey:
    case RegistryChange::DeleteValue:
    case RegistryChange::DeleteString:
        Deletion(&item, fields, line.change);
        return item;
    case RegistryChange::CreateKey:
        item.note = line.onlyWhenPresent ? "only opened: nothing changes" : "when missing";
        return item;
    default:
        break;
    }
    char typeName[32];
    item.Field("value", Field(fields, 3)).Field("type", RegistryTypeName(line.type, typeName, sizeof typeName));
    std::string data;
    bool read = true;
    if (!(bits & 0x00000001) || (line.type == 4 && fields.size() == 5)) {  // not binary, or a DWORD in one field
        if (line.type == 4)
            data = std::to_string(static_cast<uint32_t>(std::strtoul(Field(fields, 5).c_str(), nullptr, 0)));
        else if (line.type == 7)
            data = MultiString(fields);
        else
            data = Field(fields, 5);
    } else {
        read = BinaryData(fields, &data);
    }
    item.Field("data", data);
    if (line.change == RegistryChange::AppendStrings) {
        item.note = "each string not yet in the multi-string value is appended, when the value exists as one";
        return item;
    }
    std::string note;
    if (line.onlyWhenMissing) note = "only when the value does not exist yet";
    if (line.onlyWhenPresent) note = "only when the key and the value exist already";
    if (!read) note += std::string(note.empty() ? "" : "; ") + "no data: a field after the flags is no hexadecimal byte";
    item.note = note;
    return item;
}
