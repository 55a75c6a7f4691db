// Cabinet directories and MSZIP members (the format gcab -z and the Windows
// tools write), read with every offset checked against the file size.
#include "Medium.h"

#include <zlib.h>

#include <cstring>

namespace {

bool Has(const Bytes& b, size_t at, size_t n) { return at <= b.size() && n <= b.size() - at; }
uint16_t U16(const Bytes& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }
uint32_t U32(const Bytes& b, size_t at) { return U16(b, at) | static_cast<uint32_t>(U16(b, at + 2)) << 16; }

// A zero-terminated text at `at`; false when the file ends first.
bool Text(const Bytes& b, size_t& at, std::string* out)
{
    const size_t start = at;
    while (at < b.size() && b[at] != 0) ++at;
    if (at >= b.size()) return false;
    if (out) out->assign(reinterpret_cast<const char*>(&b[start]), at - start);
    ++at;
    return true;
}

// Inflates one MSZIP block ("CK" and a deflate stream) whose window starts
// with the previous block's output, appending it to `out`.
bool InflateBlock(const uint8_t* data, size_t size, size_t expected, const Bytes& previous, Bytes* out)
{
    if (size < 2 || data[0] != 'C' || data[1] != 'K') return false;
    z_stream z = {};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return false;
    if (!previous.empty()) inflateSetDictionary(&z, previous.data(), static_cast<uInt>(previous.size()));
    const size_t start = out->size();
    out->resize(start + expected);
    z.next_in = const_cast<Bytef*>(data + 2);
    z.avail_in = static_cast<uInt>(size - 2);
    z.next_out = out->data() + start;
    z.avail_out = static_cast<uInt>(expected);
    const int result = inflate(&z, Z_FINISH);
    const bool ok = (result == Z_STREAM_END || result == Z_OK || result == Z_BUF_ERROR) && z.avail_out == 0;
    inflateEnd(&z);
    return ok;
}

}  // namespace

bool ReadCabinet(const Bytes& file, Cabinet* cabinet, std::string* error)
{
    *cabinet = Cabinet();
    if (!Has(file, 0, 36) || std::memcmp(file.data(), "MSCF", 4) != 0) {
        *error = "not a cabinet";
        return false;
    }
    const uint32_t filesAt = U32(file, 16);
    const uint16_t folderCount = U16(file, 26), fileCount = U16(file, 28), flags = U16(file, 30);
    size_t at = 36;
    uint8_t folderReserve = 0;
    if (flags & 4) {  // reserved areas present
        if (!Has(file, at, 4)) return *error = "cabinet header cut short", false;
        const uint16_t headerReserve = U16(file, at);
        folderReserve = file[at + 2];
        cabinet->blockReserve = file[at + 3];
        at += 4 + headerReserve;
    }
    for (int link = 0; link < 2; ++link)  // previous and next cabinet: name and disk
        if (flags & (1 << link))
            if (!Text(file, at, nullptr) || !Text(file, at, nullptr))
                return *error = "cabinet header cut short", false;
    for (uint16_t i = 0; i < folderCount; ++i, at += 8 + folderReserve) {
        if (!Has(file, at, 8)) return *error = "cabinet folder list cut short", false;
        cabinet->folders.push_back({U32(file, at), U16(file, at + 4), U16(file, at + 6)});
    }
    at = filesAt;
    for (uint16_t i = 0; i < fileCount; ++i) {
        if (!Has(file, at, 16)) return *error = "cabinet file list cut short", false;
        CabMember member;
        member.size = U32(file, at);
        member.offset = U32(file, at + 4);
        member.folder = U16(file, at + 8);
        at += 16;
        if (!Text(file, at, &member.name)) return *error = "cabinet file list cut short", false;
        cabinet->members.push_back(member);
    }
    return true;
}

std::optional<Bytes> ExtractMember(const Bytes& file, const Cabinet& cabinet, const CabMember& member)
{
    if (member.folder >= cabinet.folders.size()) return std::nullopt;
    const CabFolder& folder = cabinet.folders[member.folder];
    const unsigned kind = folder.compression & 0x0F;
    if (kind > 1) return std::nullopt;
    Bytes data, previous;
    size_t at = folder.firstBlock;
    const uint64_t needed = static_cast<uint64_t>(member.offset) + member.size;
    for (uint16_t block = 0; block < folder.blockCount && data.size() < needed; ++block) {
        if (!Has(file, at, 8)) return std::nullopt;
        const uint16_t packed = U16(file, at + 4), unpacked = U16(file, at + 6);
        at += 8 + cabinet.blockReserve;
        if (!Has(file, at, packed)) return std::nullopt;
        const size_t start = data.size();
        if (kind == 0) {
            data.insert(data.end(), file.begin() + at, file.begin() + at + packed);
        } else if (!InflateBlock(&file[at], packed, unpacked, previous, &data)) {
            return std::nullopt;
        }
        previous.assign(data.begin() + start, data.end());
        at += packed;
    }
    if (data.size() < needed) return std::nullopt;
    return Bytes(data.begin() + member.offset, data.begin() + needed);
}
