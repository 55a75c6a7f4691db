// What the Setup API does with one line of an AddReg or DelReg section,
// "root, key, value name, flags, data...": the flags tell the value's type
// and the kind of change. A DelReg line is carried out only when its flags
// are 0 or carry the deletion bit 0x8000; an AddReg line only when they do
// not. Plain logic without windows.h, so that the run's installation log and
// setup-lint's plan name every line alike.
#pragma once

#include <cstddef>
#include <cstdint>

enum : uint32_t { kRegDeletionBit = 0x8000 };

enum class RegistryChange { SetValue, CreateKey, AppendStrings, DeleteValue, DeleteKey, DeleteString, Skip };

// Why a line changes nothing.
enum class RegistrySkip {
    None,
    UnknownRoot,          // field 1 names none of HKCR, HKCU, HKLM, HKU
    RelativeRoot,         // HKR: setup.exe gives the Setup API no relative root
    AddRegFlagsInDelReg,  // a DelReg line whose flags neither are 0 nor carry the deletion bit
    DeletionBitInAddReg,  // an AddReg line with the deletion bit: left to DelReg
};

struct RegistryLine
{
    RegistryChange change = RegistryChange::Skip;
    RegistrySkip skip = RegistrySkip::None;
    const char* root = nullptr;  // "HKCR", "HKCU", "HKLM" or "HKU"; null when field 1 names none
    uint32_t type = 0;           // the value's REG_* type: SetValue and AppendStrings only
    bool onlyWhenMissing = false;   // SetValue: the value is written only when it does not exist
    bool onlyWhenPresent = false;   // SetValue: only when key and value exist; CreateKey: only opened
};

// Whether a DelReg line with `flags` (field 4; 0 when missing) deletes
// anything: flags 0, or flags with the deletion bit.
inline bool DelRegCarriesOut(uint32_t flags)
{
    return flags == 0 || (flags & kRegDeletionBit) != 0;
}

// The meaning of a line with `rootField` (field 1, any case), `valueName`
// (field 3, empty for the default value or when missing) and `flags`
// (field 4 as the Setup API reads numbers; 0 when missing), from a DelReg
// section when `delReg`, else from an AddReg section.
RegistryLine ReadRegistryLine(const char* rootField, const char* valueName, uint32_t flags, bool delReg);

// The REG_* type that AddReg `flags` give a value.
uint32_t RegistryValueType(uint32_t flags);

// The action word of `change` as setup-lint's plan prints it ("set-value",
// "create-key", "append-strings", "delete-value", "delete-key",
// "delete-string", "skip").
const char* RegistryChangeName(RegistryChange change);

// "REG_SZ", "REG_EXPAND_SZ", "REG_BINARY", "REG_DWORD", "REG_MULTI_SZ",
// "REG_NONE", or "type N" for any other number, into `buffer` (`size`
// bytes, cut to fit); returns `buffer`.
const char* RegistryTypeName(uint32_t type, char* buffer, size_t size);
