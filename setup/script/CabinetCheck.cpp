#include "CabinetCheck.h"

#include "DeflateCheck.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Header flags.
constexpr uint16_t kPreviousCabinet = 0x0001;
constexpr uint16_t kNextCabinet = 0x0002;
constexpr uint16_t kReservePresent = 0x0004;
// Folder numbers of members that continue from or into another cabinet.
constexpr uint16_t kFirstContinuedFolder = 0xFFFD;
// Compression of a folder (low four bits of its type).
constexpr uint16_t kStored = 0;
constexpr uint16_t kMszip = 1;

class Reader
{
public:
    Reader(const unsigned char* data, size_t size) : data_(data), size_(size) {}
    bool Has(size_t at, size_t count) const { return at <= size_ && count <= size_ - at; }
    uint16_t U16(size_t at) const { return static_cast<uint16_t>(data_[at] | data_[at + 1] << 8); }
    uint32_t U32(size_t at) const { return U16(at) | static_cast<uint32_t>(U16(at + 2)) << 16; }
    // Skips a zero-terminated text; false when the file ends first.
    bool SkipText(size_t& at) const
    {
        const void* end = at < size_ ? std::memchr(data_ + at, 0, size_ - at) : nullptr;
        if (end == nullptr)
            return false;
        at = static_cast<size_t>(static_cast<const unsigned char*>(end) - data_) + 1;
        return true;
    }
    const unsigned char* At(size_t at) const { return data_ + at; }

private:
    const unsigned char* data_;
    size_t size_;
};

// The cabinet checksum: the bytes as little-endian 32-bit words XORed into
// `seed`, a last partial word taken with its first byte highest.
uint32_t Checksum(const unsigned char* bytes, size_t count, uint32_t seed)
{
    uint32_t sum = seed;
    size_t i = 0;
    for (; i + 4 <= count; i += 4)
        sum ^= bytes[i] | bytes[i + 1] << 8 | bytes[i + 2] << 16 | static_cast<uint32_t>(bytes[i + 3]) << 24;
    uint32_t last = 0;
    for (; i < count; ++i)
        last = last << 8 | bytes[i];
    return sum ^ last;
}

bool Fail(std::string& problem, const std::string& text)
{
    problem = text;
    return false;
}

std::string Number(uint64_t value)
{
    return std::to_string(value);
}

}  // namespace

bool CheckCabinet(const unsigned char* data, size_t size, std::string& problem)
{
    const Reader cab(data, size);
    if (!cab.Has(0, 36) || std::memcmp(data, "MSCF", 4) != 0)
        return Fail(problem, "not a cabinet");
    const uint32_t declared = cab.U32(8);
    if (declared != size) {
        return Fail(problem, (declared > size ? "cut short: " : "longer than declared: ") + Number(declared) +
                                 " bytes declared, " + Number(size) + " present");
    }
    const uint32_t filesAt = cab.U32(16);
    const uint16_t folders = cab.U16(26), files = cab.U16(28), flags = cab.U16(30);
    size_t at = 36;
    size_t folderReserve = 0, dataReserve = 0;
    if (flags & kReservePresent) {
        if (!cab.Has(at, 4))
            return Fail(problem, "header cut short");
        const size_t headerReserve = cab.U16(at);
        folderReserve = cab.At(at)[2];
        dataReserve = cab.At(at)[3];
        at += 4 + headerReserve;
    }
    for (uint16_t link : {kPreviousCabinet, kNextCabinet}) {
        if ((flags & link) && !(cab.SkipText(at) && cab.SkipText(at)))
            return Fail(problem, "header cut short");
    }

    // Every folder: its chain of data blocks inside the file, each with its
    // checksum and, for the compressions that can be checked here (stored
    // and MSZIP), data that gives exactly the bytes the block claims; the
    // bytes the folder holds once expanded.
    std::vector<uint64_t> folderBytes(folders);
    for (uint16_t folder = 0; folder < folders; ++folder, at += 8 + folderReserve) {
        if (!cab.Has(at, 8 + folderReserve))
            return Fail(problem, "folder list cut short");
        size_t block = cab.U32(at);
        const uint16_t blocks = cab.U16(at + 4);
        const uint16_t compression = cab.U16(at + 6) & 0x000F;
        uint64_t expanded = 0;
        for (uint16_t b = 0; b < blocks; ++b) {
            const std::string where = "data block " + Number(b + 1) + " of folder " + Number(folder + 1);
            if (!cab.Has(block, 8 + dataReserve))
                return Fail(problem, where + " lies past the end");
            const uint32_t stored = cab.U32(block);
            const size_t compressed = cab.U16(block + 4);
            const size_t dataAt = block + 8 + dataReserve;
            if (!cab.Has(dataAt, compressed))
                return Fail(problem, where + " lies past the end");
            if (stored != 0) {
                const uint32_t sum = Checksum(cab.At(block + 4), 4, Checksum(cab.At(dataAt), compressed, 0));
                if (sum != stored)
                    return Fail(problem, where + ": checksum " + Number(sum) + " instead of " + Number(stored));
            }
            const size_t bytes = cab.U16(block + 6);
            if (compression == kStored && compressed != bytes)
                return Fail(problem, where + ": " + Number(compressed) + " stored bytes for " + Number(bytes));
            if (compression == kMszip &&
                !(compressed >= 2 && cab.At(dataAt)[0] == 'C' && cab.At(dataAt)[1] == 'K' &&
                  DeflateDecodesTo(cab.At(dataAt) + 2, compressed - 2, bytes, expanded))) {
                return Fail(problem, where + ": its data does not decode to its " + Number(bytes) + " bytes");
            }
            expanded += bytes;
            block = dataAt + compressed;
        }
        folderBytes[folder] = expanded;
    }

    // Every member: a name, in a folder of this cabinet, within that folder.
    at = filesAt;
    for (uint16_t file = 0; file < files; ++file) {
        const std::string where = "member " + Number(file + 1);
        if (!cab.Has(at, 16))
            return Fail(problem, where + " lies past the end");
        const uint64_t length = cab.U32(at), offset = cab.U32(at + 4);
        const uint16_t folder = cab.U16(at + 8);
        at += 16;
        if (!cab.SkipText(at))
            return Fail(problem, where + ": its name is cut short");
        if (folder >= kFirstContinuedFolder || ((flags & kNextCabinet) && folder + 1 == folders))
            continue;
        if (folder >= folders)
            return Fail(problem, where + " names folder " + Number(folder + 1) + " of " + Number(folders));
        if (offset + length > folderBytes[folder])
            return Fail(problem, where + " ends past its folder");
    }
    return true;
}
