// The check of the medium's cabinets, on cabinets gcab made at build time
// (MSZIP and stored), whole and broken in the ways a medium breaks.
#include "CabinetCheck.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes ReadCabinet(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string Problem(const Bytes& cabinet)
{
    std::string problem;
    return CheckCabinet(cabinet.data(), cabinet.size(), problem) ? "" : problem;
}

uint32_t U32(const Bytes& b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

void SetU16(Bytes& b, size_t at, unsigned value)
{
    b[at] = static_cast<unsigned char>(value);
    b[at + 1] = static_cast<unsigned char>(value >> 8);
}

// Offsets of the data blocks of the cabinet's first folder (no reserved areas).
std::vector<size_t> Blocks(const Bytes& b)
{
    std::vector<size_t> blocks;
    size_t at = U32(b, 36);
    for (unsigned i = 0, n = b[40] | b[41] << 8; i < n; ++i) {
        blocks.push_back(at);
        at += 8 + (b[at + 4] | b[at + 5] << 8);
    }
    return blocks;
}

class CabinetCheckTest : public testing::TestWithParam<const char*>
{
protected:
    void SetUp() override
    {
        cabinet_ = ReadCabinet(GetParam());
        ASSERT_GT(cabinet_.size(), 1000u) << GetParam();
    }
    Bytes cabinet_;
};

TEST_P(CabinetCheckTest, AWholeCabinetPasses)
{
    EXPECT_EQ("", Problem(cabinet_));
    EXPECT_GE(Blocks(cabinet_).size(), 3u) << "the fixture spans several data blocks";
}

TEST_P(CabinetCheckTest, ACabinetCutAnywhereIsRefused)
{
    for (size_t length : {size_t(0), size_t(4), size_t(35), size_t(36), size_t(60), cabinet_.size() / 2,
                          Blocks(cabinet_).back() + 4, cabinet_.size() - 1}) {
        const Bytes cut(cabinet_.begin(), cabinet_.begin() + static_cast<long>(length));
        const std::string problem = Problem(cut);
        EXPECT_TRUE(problem == "not a cabinet" || problem.rfind("cut short: ", 0) == 0) << length << ": " << problem;
    }
    Bytes longer = cabinet_;
    longer.push_back(0);
    EXPECT_EQ(0u, Problem(longer).rfind("longer than declared", 0)) << Problem(longer);
}

TEST_P(CabinetCheckTest, DamagedDataFailsItsBlocksChecksum)
{
    const std::vector<size_t> blocks = Blocks(cabinet_);
    for (size_t i = 0; i < blocks.size(); ++i) {
        Bytes damaged = cabinet_;
        damaged[blocks[i] + 8 + (i * 37) % 100] ^= 0x5A;
        EXPECT_EQ(0u, Problem(damaged).rfind("data block " + std::to_string(i + 1) + " of folder 1: checksum", 0))
            << Problem(damaged);
        // A block that carries no checksum (0) is not checked by it.
        for (size_t j = 0; j < 4; ++j)
            damaged[blocks[i] + j] = 0;
        EXPECT_EQ(std::string::npos, Problem(damaged).find("checksum")) << Problem(damaged);
    }
}

// Damage the checksum cannot see (it XORs 32-bit words, so the same change to
// an even number of words cancels out; and a block may carry no checksum):
// compressed data must still decode to its block's size, or the platform's
// decompressor meets it. Stored data has no form to check and is copied as
// it is.
TEST(CabinetCheck, DamageTheChecksumMissesStillFailsToDecode)
{
    const Bytes cabinet = ReadCabinet(CABINET_MSZIP);
    const std::vector<size_t> blocks = Blocks(cabinet);
    for (size_t i = 0; i < blocks.size(); ++i) {
        const size_t data = blocks[i] + 8 + 2;  // after "CK"
        const size_t length = (cabinet[blocks[i] + 4] | cabinet[blocks[i] + 5] << 8) - 2u;
        for (size_t at : {data, data + length / 2, data + length - 8}) {
            Bytes damaged = cabinet;
            const size_t word = blocks[i] + 8 + ((at - blocks[i] - 8) & ~size_t(3));  // words count from the data
            for (size_t j = 0; j < 8; ++j)
                damaged[word + j] ^= 0x5A;  // two words changed alike
            EXPECT_EQ(0u, Problem(damaged).rfind("data block " + std::to_string(i + 1) + " of folder 1: its data does "
                                                 "not decode to its", 0))
                << "block " << i + 1 << " at " << at - data << ": " << Problem(damaged);
        }
    }
    Bytes stored = ReadCabinet(CABINET_STORED);
    const size_t first = Blocks(stored).front();
    for (size_t j = 0; j < 8; ++j)
        stored[first + 100 + j] ^= 0x5A;
    EXPECT_EQ("", Problem(stored));
}

TEST_P(CabinetCheckTest, DirectoryThatPointsOutsideIsRefused)
{
    Bytes moreBlocks = cabinet_;
    SetU16(moreBlocks, 40, static_cast<unsigned>(Blocks(cabinet_).size() + 1));
    EXPECT_NE(std::string::npos, Problem(moreBlocks).find("lies past the end")) << Problem(moreBlocks);

    const size_t firstMember = U32(cabinet_, 16);
    Bytes wrongFolder = cabinet_;
    SetU16(wrongFolder, firstMember + 8, 4);
    EXPECT_EQ("member 1 names folder 5 of 1", Problem(wrongFolder));

    Bytes pastFolder = cabinet_;
    pastFolder[firstMember + 7] = 0x7F;  // starts 2 GB into its folder
    EXPECT_EQ("member 1 ends past its folder", Problem(pastFolder));

    Bytes notCab = cabinet_;
    notCab[0] = 'X';
    EXPECT_EQ("not a cabinet", Problem(notCab));
}

INSTANTIATE_TEST_SUITE_P(Fixtures, CabinetCheckTest, testing::Values(CABINET_MSZIP, CABINET_STORED));

}  // namespace
