// Resources of a Windows program file (PE image) read on the host: the
// version resource's product version and string-table texts, for what
// setup.exe takes from its own file or from a source file on the medium.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

enum : uint32_t { kResourceString = 6, kResourceData = 10, kResourceVersion = 16 };
enum : uint16_t { kLanguageEnglishUs = 1033 };

// The bytes of resource `type`/`id` in `language`, or in the first language
// it exists in when that one is missing; nothing when the image has none.
std::optional<Bytes> ResourceBytes(const Bytes& image, uint32_t type, uint32_t id, uint16_t language);

// The product version of a Windows program or library ("a.b.c.d" from the
// fixed part of its version resource), or nothing when it has none.
std::optional<std::string> ProductVersion(const Bytes& image);

// String `id` of the image's string table in `language` (8-bit: characters
// above 255 become '?'), or nothing when the table lacks it or it is empty.
std::optional<std::string> ResourceString(const Bytes& image, uint32_t id, uint16_t language);
