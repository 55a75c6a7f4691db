// Fuzzes the text-list functions against a model (a vector of strings). The
// input is a series of operations; each list lives in a heap buffer of
// exactly the capacity the operation is given (the callers' rule, or one
// byte less than really needed), so AddressSanitizer sees any stray byte.
#include "TextList.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Pack(const std::vector<std::string>& model)
{
    std::string bytes;
    for (const std::string& entry : model)
        bytes += entry + '\0';
    return bytes + (model.empty() ? std::string(2, '\0') : std::string(1, '\0'));
}

void Expect(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> model;
    for (size_t at = 0; at + 3 <= size;) {
        const int op = data[at] % 4, position = static_cast<int8_t>(data[at + 1]);
        const size_t length = data[at + 2] % 12;
        at += 3;
        std::string text;
        for (; text.size() < length && at < size; ++at) {
            if (data[at] != 0)
                text += static_cast<char>(data[at]);
        }
        const std::string packed = Pack(model);
        const bool adds = op <= 1, tight = adds && (data[at - 1] & 1) != 0;
        const size_t used = model.empty() ? 1 : packed.size();
        const size_t capacity = !adds ? packed.size() : tight ? used + text.size() : packed.size() + text.size() + 1;
        char* list = new char[capacity];
        std::memcpy(list, packed.data(), packed.size() < capacity ? packed.size() : capacity);
        const bool fits = !text.empty() && !tight;
        const bool exists = position >= 0 && static_cast<size_t>(position) < model.size();

        if (op == 0) {
            Expect(xUtilListInsert(list, capacity, text.c_str(), position) == (fits ? 1 : 0));
            if (fits)
                model.insert(model.begin() + (position < 0 || !exists ? model.size() : position), text);
        } else if (op == 1) {
            Expect((xUtilListAppend(list, capacity, text.c_str()) != nullptr) == fits);
            if (fits)
                model.push_back(text);
        } else if (op == 2) {
            Expect(xUtilListRemove(list, position) == (exists ? 1 : 0));
            if (exists)
                model.erase(model.begin() + position);
        } else {
            std::string copy = text;
            const std::string trimmed = xUtilTrim(&copy[0]);
            Expect(text.find(trimmed) != std::string::npos);
            Expect(trimmed.empty() || (!std::strchr(" \t\r\n\v\f", trimmed.front()) &&
                                       !std::strchr(" \t\r\n\v\f", trimmed.back())));
        }

        Expect(xUtilListCount(list) == static_cast<int>(model.size()));
        Expect(xUtilListSize(list) == Pack(model).size());
        Expect(xUtilListEntry(list, static_cast<int>(model.size())) == nullptr);
        for (size_t i = 0; i < model.size(); ++i) {
            Expect(model[i] == xUtilListEntry(list, static_cast<int>(i)));
            const int found = xUtilListFind(list, model[i].c_str());
            Expect(found >= 0 && found <= static_cast<int>(i) && model[static_cast<size_t>(found)] == model[i]);
            Expect(xUtilListFindNoCase(list, model[i].c_str()) <= found);
        }
        delete[] list;
    }
    return 0;
}
