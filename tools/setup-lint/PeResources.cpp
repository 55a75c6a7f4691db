// The PE resource tree (type, name, language) and the two resources read
// from it: the version resource's fixed information and string tables.
#include "PeResources.h"

#include <algorithm>
#include <cstdio>

namespace {

bool Has(const Bytes& b, size_t at, size_t n) { return at <= b.size() && n <= b.size() - at; }
uint16_t U16(const Bytes& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }
uint32_t U32(const Bytes& b, size_t at) { return U16(b, at) | static_cast<uint32_t>(U16(b, at + 2)) << 16; }

const uint32_t kSubdirectory = 0x80000000u;
const long kFirst = -1;

struct SectionMap
{
    uint32_t address, size, fileOffset;
};

// The file offset of relative virtual address `rva`, or 0 when no section holds it.
size_t FileOffset(const std::vector<SectionMap>& sections, uint32_t rva)
{
    for (const SectionMap& s : sections)
        if (rva >= s.address && rva - s.address < s.size) return s.fileOffset + (rva - s.address);
    return 0;
}

// In the resource directory at `dir` (an offset inside the resource data
// starting at `base`): the entry with id `id`, or the first entry for kFirst.
// Returns the entry's target offset (with its subdirectory bit), or 0.
uint32_t DirectoryEntry(const Bytes& b, size_t base, uint32_t dir, long id)
{
    if (!Has(b, base + dir, 16)) return 0;
    const unsigned count = U16(b, base + dir + 12) + U16(b, base + dir + 14);
    for (unsigned i = 0; i < count; ++i) {
        const size_t entry = base + dir + 16 + 8 * i;
        if (!Has(b, entry, 8)) return 0;
        if (id == kFirst || U32(b, entry) == static_cast<uint32_t>(id)) return U32(b, entry + 4);
    }
    return 0;
}

// The resource `type`/`id` (kFirst: the first name) in `language`, or in
// its first language.
std::optional<Bytes> FindResource(const Bytes& image, uint32_t type, long id, uint16_t language)
{
    if (!Has(image, 0, 64) || image[0] != 'M' || image[1] != 'Z') return std::nullopt;
    const size_t pe = U32(image, 60);
    if (!Has(image, pe, 24) || U32(image, pe) != 0x4550) return std::nullopt;  // "PE\0\0"
    const unsigned sectionCount = U16(image, pe + 6), optionalSize = U16(image, pe + 20);
    const size_t optional = pe + 24;
    if (!Has(image, optional, 2)) return std::nullopt;
    const uint16_t magic = U16(image, optional);
    const size_t directories = optional + (magic == 0x20B ? 112 : 96);
    if (magic != 0x10B && magic != 0x20B) return std::nullopt;
    if (!Has(image, directories + 2 * 8, 8)) return std::nullopt;
    const uint32_t resourceRva = U32(image, directories + 2 * 8);  // data directory 2: resources
    std::vector<SectionMap> sections;
    for (unsigned i = 0; i < sectionCount; ++i) {
        const size_t s = optional + optionalSize + 40 * i;
        if (!Has(image, s, 40)) return std::nullopt;
        sections.push_back({U32(image, s + 12), std::max(U32(image, s + 8), U32(image, s + 16)), U32(image, s + 20)});
    }
    const size_t base = FileOffset(sections, resourceRva);
    if (resourceRva == 0 || base == 0) return std::nullopt;
    const uint32_t byType = DirectoryEntry(image, base, 0, type);
    if (!(byType & kSubdirectory)) return std::nullopt;
    const uint32_t byName = DirectoryEntry(image, base, byType & ~kSubdirectory, id);
    if (!(byName & kSubdirectory)) return std::nullopt;
    uint32_t leaf = DirectoryEntry(image, base, byName & ~kSubdirectory, language);
    if (leaf == 0) leaf = DirectoryEntry(image, base, byName & ~kSubdirectory, kFirst);
    if (leaf == 0 || (leaf & kSubdirectory) || !Has(image, base + leaf, 8)) return std::nullopt;
    const size_t data = FileOffset(sections, U32(image, base + leaf));
    const uint32_t size = U32(image, base + leaf + 4);
    if (data == 0 || !Has(image, data, size)) return std::nullopt;
    return Bytes(image.begin() + static_cast<long>(data), image.begin() + static_cast<long>(data + size));
}

}  // namespace

std::optional<Bytes> ResourceBytes(const Bytes& image, uint32_t type, uint32_t id, uint16_t language)
{
    return FindResource(image, type, static_cast<long>(id), language);
}

std::optional<std::string> ProductVersion(const Bytes& image)
{
    const std::optional<Bytes> version = FindResource(image, kResourceVersion, kFirst, kLanguageEnglishUs);
    if (!version) return std::nullopt;
    // The fixed information follows the "VS_VERSION_INFO" header; find its signature.
    for (size_t at = 0; at + 52 <= version->size(); at += 4) {
        if (U32(*version, at) != 0xFEEF04BDu) continue;
        const uint32_t high = U32(*version, at + 16), low = U32(*version, at + 20);
        char text[48];
        std::snprintf(text, sizeof text, "%u.%u.%u.%u", high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF);
        return std::string(text);
    }
    return std::nullopt;
}

std::optional<std::string> ResourceString(const Bytes& image, uint32_t id, uint16_t language)
{
    // Strings live in blocks of 16, block n + 1 holding ids 16n to 16n + 15,
    // each a 16-bit length followed by that many UTF-16 units.
    const std::optional<Bytes> block = ResourceBytes(image, kResourceString, id / 16 + 1, language);
    if (!block) return std::nullopt;
    size_t at = 0;
    for (uint32_t index = 0; index < id % 16; ++index) {
        if (!Has(*block, at, 2)) return std::nullopt;
        at += 2 + 2 * static_cast<size_t>(U16(*block, at));
    }
    if (!Has(*block, at, 2)) return std::nullopt;
    const size_t length = U16(*block, at);
    if (length == 0 || !Has(*block, at + 2, 2 * length)) return std::nullopt;
    std::string text;
    for (size_t i = 0; i < length; ++i) {
        const uint16_t unit = U16(*block, at + 2 + 2 * i);
        text += unit < 256 ? static_cast<char>(unit) : '?';
    }
    return text;
}
