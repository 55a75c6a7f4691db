// The product version of a Windows image: the PE resource tree down to the
// version resource, then its fixed file information.
#include "Medium.h"

#include <algorithm>
#include <cstdio>

namespace {

bool Has(const Bytes& b, size_t at, size_t n) { return at <= b.size() && n <= b.size() - at; }
uint16_t U16(const Bytes& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }
uint32_t U32(const Bytes& b, size_t at) { return U16(b, at) | static_cast<uint32_t>(U16(b, at + 2)) << 16; }

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
// starting at `base`): the entry with id `id`, or the first entry for -1.
// Returns the entry's target offset (with its subdirectory bit), or 0.
uint32_t DirectoryEntry(const Bytes& b, size_t base, uint32_t dir, long id)
{
    if (!Has(b, base + dir, 16)) return 0;
    const unsigned count = U16(b, base + dir + 12) + U16(b, base + dir + 14);
    for (unsigned i = 0; i < count; ++i) {
        const size_t entry = base + dir + 16 + 8 * i;
        if (!Has(b, entry, 8)) return 0;
        if (id < 0 || U32(b, entry) == static_cast<uint32_t>(id)) return U32(b, entry + 4);
    }
    return 0;
}

}  // namespace

std::optional<std::string> ProductVersion(const Bytes& image)
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
    // Type 16 (version), then its first name and first language.
    uint32_t next = DirectoryEntry(image, base, 0, 16);
    for (int level = 0; level < 2; ++level) {
        if (!(next & 0x80000000u)) return std::nullopt;
        next = DirectoryEntry(image, base, next & 0x7FFFFFFFu, -1);
    }
    if (next == 0 || (next & 0x80000000u) || !Has(image, base + next, 8)) return std::nullopt;
    const size_t data = FileOffset(sections, U32(image, base + next));
    const uint32_t size = U32(image, base + next + 4);
    if (data == 0 || !Has(image, data, size)) return std::nullopt;
    // The fixed information follows the "VS_VERSION_INFO" header; find its signature.
    for (size_t at = data; at + 52 <= data + size; at += 4) {
        if (U32(image, at) != 0xFEEF04BDu) continue;
        const uint32_t high = U32(image, at + 16), low = U32(image, at + 20);
        char text[48];
        std::snprintf(text, sizeof text, "%u.%u.%u.%u", high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF);
        return std::string(text);
    }
    return std::nullopt;
}
