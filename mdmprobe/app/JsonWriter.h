// A small writer of JSON text: objects, arrays, strings, whole numbers,
// booleans and null, indented by two blanks per level.
//
// Strings are 8-bit byte strings (modem answers, paths in the ANSI code
// page): printable ASCII is kept, a quote and a backslash get their
// backslash, every other byte (control bytes, DEL, 0x80 to 0xFF) becomes
// \u00XX, so the text is plain ASCII and every byte survives as the code
// point of the same number.
//
// Misuse (a value where a member name is due, a name outside an object, an
// end that does not match, nesting deeper than kMaxDepth, a second top-level
// value) writes nothing and marks the writer failed; Done() tells whether a
// complete document without misuse was written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CJsonWriter
{
public:
    static constexpr size_t kMaxDepth = 16;

    CJsonWriter& BeginObject();
    CJsonWriter& EndObject();
    CJsonWriter& BeginArray();
    CJsonWriter& EndArray();

    // The name of the next member of the current object.
    CJsonWriter& Name(const char* name);

    CJsonWriter& String(const std::string& text);
    CJsonWriter& Number(int64_t value);
    CJsonWriter& Bool(bool value);
    CJsonWriter& Null();

    // Name and value in one call.
    template <typename T>
    CJsonWriter& Member(const char* name, const T& value)
    {
        Name(name);
        return Value(value);
    }
    // A text member whose value is null when the text is empty.
    CJsonWriter& TextOrNull(const char* name, const std::string& text);

    // True when one complete value was written without misuse.
    bool Done() const { return !failed_ && depth_ == 0 && wroteTop_; }
    const std::string& Text() const { return text_; }

private:
    enum class Scope : unsigned char { Object, Array };

    CJsonWriter& Value(const std::string& text) { return String(text); }
    CJsonWriter& Value(const char* text) { return String(text ? text : ""); }
    CJsonWriter& Value(bool value) { return Bool(value); }
    CJsonWriter& Value(int value) { return Number(value); }
    CJsonWriter& Value(unsigned value) { return Number(value); }
    CJsonWriter& Value(int64_t value) { return Number(value); }

    // Separator, line break and indent before a value; false on misuse.
    bool BeforeValue();
    CJsonWriter& Begin(Scope scope, char open);
    CJsonWriter& End(Scope scope, char close);
    void NewLine(size_t depth);

    std::string text_;
    Scope scopes_[kMaxDepth] = {};
    bool hasItems_[kMaxDepth] = {};
    size_t depth_ = 0;
    bool nameDue_ = false;    // inside an object, a name was written: its value comes next
    bool wroteTop_ = false;
    bool failed_ = false;
};

// `text` as a JSON string literal with its quotes, escaped as above.
std::string JsonQuote(const std::string& text);
