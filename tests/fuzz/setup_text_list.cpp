// Fuzzes the text-list functions against a model (a vector of strings). The
// input is a series of operations; every list lives in a heap buffer of
// exactly the capacity the operation is given, so that AddressSanitizer
// catches any byte written or read past it.
#include "TextList.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<char> Pack(const std::vector<std::string>& model)
{
    std::vector<char> bytes;
    for (const std::string& entry : model) {
        bytes.insert(bytes.end(), entry.begin(), entry.end());
        bytes.push_back('\0');
    }
    bytes.push_back('\0');
    if (bytes.size() < 2)
        bytes.push_back('\0');
    return bytes;
}

void Check(const char* list, const std::vector<std::string>& model)
{
    if (xUtilListCount(list) != static_cast<int>(model.size()))
        std::abort();
    if (xUtilListSize(list) != Pack(model).size())
        std::abort();
    for (size_t i = 0; i < model.size(); ++i) {
        const char* entry = xUtilListEntry(list, static_cast<int>(i));
        if (entry == nullptr || model[i] != entry)
            std::abort();
        const int found = xUtilListFind(list, model[i].c_str());
        if (found < 0 || found > static_cast<int>(i) || model[static_cast<size_t>(found)] != model[i])
            std::abort();
        if (xUtilListFindNoCase(list, model[i].c_str()) > found)
            std::abort();
    }
    if (xUtilListEntry(list, static_cast<int>(model.size())) != nullptr)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> model;
    size_t at = 0;
    while (at + 3 <= size) {
        const uint8_t op = data[at] % 4;
        const int position = static_cast<int8_t>(data[at + 1]);
        const size_t length = data[at + 2] % 12;
        at += 3;
        std::string text;
        while (text.size() < length && at < size) {
            if (data[at] != 0)
                text += static_cast<char>(data[at]);
            ++at;
        }
        // Capacity as a caller computes it (size + length + 1), or one byte
        // less than the bytes really needed (an empty list uses only one of
        // the two bytes its size counts).
        const std::vector<char> packed = Pack(model);
        const bool tight = op <= 1 && (data[at - 1] & 1) != 0;
        const size_t used = model.empty() ? 1 : packed.size();
        size_t capacity = packed.size();
        if (op <= 1)
            capacity = tight ? used + text.size() : packed.size() + text.size() + 1;
        char* list = new char[capacity];
        std::memcpy(list, packed.data(), packed.size() < capacity ? packed.size() : capacity);

        if (op == 0) {
            const int inserted = xUtilListInsert(list, capacity, text.c_str(), position);
            if (inserted != (!text.empty() && !tight ? 1 : 0))
                std::abort();
            if (inserted) {
                size_t index = position < 0 || static_cast<size_t>(position) > model.size()
                                   ? model.size() : static_cast<size_t>(position);
                model.insert(model.begin() + static_cast<std::ptrdiff_t>(index), text);
            }
        } else if (op == 1) {
            char* result = xUtilListAppend(list, capacity, text.c_str());
            if (result != nullptr)
                model.push_back(text);
            if ((result != nullptr) != (!text.empty() && !tight))
                std::abort();
        } else if (op == 2) {
            const int removed = xUtilListRemove(list, position);
            const bool exists = position >= 0 && static_cast<size_t>(position) < model.size();
            if (removed != (exists ? 1 : 0))
                std::abort();
            if (exists)
                model.erase(model.begin() + position);
        } else {
            std::vector<char> copy(text.begin(), text.end());
            copy.push_back('\0');
            xUtilTrim(copy.data());
            const std::string trimmed(copy.data());
            if (!trimmed.empty() && (std::strchr(" \t\r\n\v\f", trimmed.front()) != nullptr ||
                                     std::strchr(" \t\r\n\v\f", trimmed.back()) != nullptr))
                std::abort();
            if (text.find(trimmed) == std::string::npos)
                std::abort();
        }
        Check(list, model);
        delete[] list;
    }
    return 0;
}
