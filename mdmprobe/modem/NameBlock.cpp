#include "NameBlock.h"

#include <cstring>

namespace {

char FoldAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// `a` (zero-terminated) equals the `length` bytes at `b` without regard to
// ASCII case.
bool EqualNoCase(const char* a, const char* b, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        if (a[i] == '\0' || FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    }
    return a[length] == '\0';
}

}  // namespace

void CNameBlock::Clear()
{
    block_.assign(2, '\0');
    count_ = 0;
}

bool CNameBlock::AppendUnique(const char* name, size_t length)
{
    const void* zero = std::memchr(name, '\0', length);
    if (zero)
        length = static_cast<size_t>(static_cast<const char*>(zero) - name);
    if (length == 0)
        return false;  // an empty name would end the block early
    for (size_t i = 0; i < count_; ++i) {
        if (EqualNoCase(NameAt(Data(), i), name, length))
            return false;
    }
    // Drop the closing zero (both of them in the empty list), add the name
    // with its zero, close again.
    block_.resize(count_ == 0 ? 0 : block_.size() - 1);
    block_.insert(block_.end(), name, name + length);
    block_.push_back('\0');
    block_.push_back('\0');
    ++count_;
    return true;
}

size_t CountNames(const char* block)
{
    size_t count = 0;
    for (; block && *block != '\0'; block += std::strlen(block) + 1)
        ++count;
    return count;
}

const char* NameAt(const char* block, size_t index)
{
    if (!block)
        return nullptr;
    for (; *block != '\0'; block += std::strlen(block) + 1) {
        if (index-- == 0)
            return block;
    }
    return nullptr;
}
