// A list of names handed out as one block of zero-terminated texts ended by
// an empty text ("COM1\0COM3\0\0"), as the port enumeration returns it. Plain
// bytes only; built and tested on the host.
#pragma once

#include <cstddef>
#include <vector>

class CNameBlock
{
public:
    CNameBlock() { Clear(); }

    // Back to the empty list (the block is then "\0\0").
    void Clear();

    // Appends the first `length` bytes of `name` (up to a zero byte among
    // them) as a new last name, unless that text is empty or a name equal to
    // it without regard to ASCII case is already in the list. True when added.
    bool AppendUnique(const char* name, size_t length);

    // The block; valid until the next change of the list.
    const char* Data() const { return block_.data(); }
    size_t Count() const { return count_; }

private:
    std::vector<char> block_;  // the names, each with its zero, then one more zero
    size_t count_ = 0;
};

// Number of names before the empty one; 0 for a null block.
size_t CountNames(const char* block);

// The name at zero-based `index`, or nullptr when the index is past the end
// (or the block is null).
const char* NameAt(const char* block, size_t index);
