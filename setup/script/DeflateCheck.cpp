#include "DeflateCheck.h"

namespace {

constexpr int kMaxBits = 15;
constexpr size_t kWindow = 32768;

const uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                  31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const uint16_t kDistanceBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// Order in which the lengths of the code-length code are stored.
const uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// Bits are taken from the lowest bit of each byte up.
class Bits
{
public:
    Bits(const unsigned char* data, size_t size) : data_(data), size_(size) {}
    // -1 when the input is used up.
    long Take(int count)
    {
        long value = 0;
        for (int i = 0; i < count; ++i) {
            if (at_ >= size_)
                return -1;
            value |= static_cast<long>((data_[at_] >> bit_) & 1) << i;
            if (++bit_ == 8) {
                bit_ = 0;
                ++at_;
            }
        }
        return value;
    }
    void ToByte()
    {
        if (bit_ != 0) {
            bit_ = 0;
            ++at_;
        }
    }
    bool Skip(size_t bytes)
    {
        if (bytes > size_ - at_)
            return false;
        at_ += bytes;
        return true;
    }

private:
    const unsigned char* data_;
    size_t size_;
    size_t at_ = 0;
    int bit_ = 0;
};

// A canonical Huffman code: how many codes of each length, and the symbols
// in code order.
struct Code
{
    uint16_t count[kMaxBits + 1] = {};
    uint16_t symbol[288] = {};
};

// False when the lengths ask for more codes than there are (over-subscribed).
bool Build(Code& code, const uint8_t* lengths, int n)
{
    for (int i = 0; i <= kMaxBits; ++i)
        code.count[i] = 0;
    for (int i = 0; i < n; ++i)
        ++code.count[lengths[i]];
    int left = 1;
    for (int length = 1; length <= kMaxBits; ++length) {
        left = (left << 1) - code.count[length];
        if (left < 0)
            return false;
    }
    uint16_t offset[kMaxBits + 2] = {};
    for (int length = 1; length <= kMaxBits; ++length)
        offset[length + 1] = static_cast<uint16_t>(offset[length] + code.count[length]);
    for (int i = 0; i < n; ++i) {
        if (lengths[i] != 0)
            code.symbol[offset[lengths[i]]++] = static_cast<uint16_t>(i);
    }
    return true;
}

// The next symbol, or -1 for a code the table does not have or no input.
int Decode(Bits& bits, const Code& code)
{
    int value = 0, first = 0, index = 0;
    for (int length = 1; length <= kMaxBits; ++length) {
        const long bit = bits.Take(1);
        if (bit < 0)
            return -1;
        value |= static_cast<int>(bit);
        const int count = code.count[length];
        if (value - count < first)
            return code.symbol[index + (value - first)];
        index += count;
        first = (first + count) << 1;
        value <<= 1;
    }
    return -1;
}

class Inflate
{
public:
    Inflate(const unsigned char* data, size_t size, uint64_t window) : bits_(data, size), decoded_(window) {}

    bool Run(size_t expected)
    {
        const uint64_t target = decoded_ + expected;
        for (;;) {
            const long last = bits_.Take(1), type = bits_.Take(2);
            bool ok = false;
            if (type == 0)
                ok = Stored();
            else if (type == 1)
                ok = Fixed();
            else if (type == 2)
                ok = Dynamic();
            if (last < 0 || !ok || decoded_ > target)
                return false;
            if (decoded_ == target)
                return true;  // a block ended with the claimed size: what follows is not read
            if (last == 1)
                return false;
        }
    }

private:
    bool Stored()
    {
        bits_.ToByte();
        const long length = bits_.Take(16), complement = bits_.Take(16);
        if (length < 0 || complement < 0 || (length ^ 0xFFFF) != complement || !bits_.Skip(static_cast<size_t>(length)))
            return false;
        decoded_ += static_cast<uint64_t>(length);
        return true;
    }

    bool Fixed()
    {
        uint8_t lengths[288 + 30];
        for (int i = 0; i < 288; ++i)
            lengths[i] = i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8;
        for (int i = 0; i < 30; ++i)
            lengths[288 + i] = 5;
        return Build(literals_, lengths, 288) && Build(distances_, lengths + 288, 30) && Symbols();
    }

    bool Dynamic()
    {
        const long literalCount = bits_.Take(5) + 257, distanceCount = bits_.Take(5) + 1,
                   codeLengthCount = bits_.Take(4) + 4;
        if (literalCount < 257 || literalCount > 286 || distanceCount < 1 || distanceCount > 30 || codeLengthCount < 4)
            return false;
        uint8_t lengths[320] = {};
        for (long i = 0; i < codeLengthCount; ++i) {
            const long length = bits_.Take(3);
            if (length < 0)
                return false;
            lengths[kCodeLengthOrder[i]] = static_cast<uint8_t>(length);
        }
        Code codeLengths;
        if (!Build(codeLengths, lengths, 19))
            return false;
        const long total = literalCount + distanceCount;
        for (long i = 0; i < total;) {
            const int symbol = Decode(bits_, codeLengths);
            if (symbol < 0)
                return false;
            if (symbol < 16) {
                lengths[i++] = static_cast<uint8_t>(symbol);
                continue;
            }
            long repeat = 0;
            uint8_t value = 0;
            if (symbol == 16) {
                if (i == 0)
                    return false;
                value = lengths[i - 1];
                repeat = 3 + bits_.Take(2);
            } else if (symbol == 17) {
                repeat = 3 + bits_.Take(3);
            } else {
                repeat = 11 + bits_.Take(7);
            }
            if (repeat < 3 || i + repeat > total)
                return false;
            while (repeat-- > 0)
                lengths[i++] = value;
        }
        if (lengths[256] == 0)
            return false;  // no end-of-block code
        return Build(literals_, lengths, static_cast<int>(literalCount)) &&
               Build(distances_, lengths + literalCount, static_cast<int>(distanceCount)) && Symbols();
    }

    // Literals and copies up to the end-of-block code.
    bool Symbols()
    {
        for (;;) {
            const int symbol = Decode(bits_, literals_);
            if (symbol < 0 || symbol > 285)
                return false;
            if (symbol < 256) {
                ++decoded_;
                continue;
            }
            if (symbol == 256)
                return true;
            const int lengthCode = symbol - 257;
            const long lengthExtra = bits_.Take(kLengthExtra[lengthCode]);
            const int distanceCode = Decode(bits_, distances_);
            if (lengthExtra < 0 || distanceCode < 0 || distanceCode > 29)
                return false;
            const long distanceExtra = bits_.Take(kDistanceExtra[distanceCode]);
            if (distanceExtra < 0)
                return false;
            const uint64_t distance = kDistanceBase[distanceCode] + static_cast<uint64_t>(distanceExtra);
            if (distance > decoded_ || distance > kWindow)
                return false;  // points before anything was decoded
            decoded_ += kLengthBase[lengthCode] + static_cast<uint64_t>(lengthExtra);
        }
    }

    Bits bits_;
    uint64_t decoded_;
    Code literals_, distances_;
};

}  // namespace

bool DeflateDecodesTo(const unsigned char* data, size_t size, size_t expected, uint64_t windowBytes)
{
    return Inflate(data, size, windowBytes).Run(expected);
}
