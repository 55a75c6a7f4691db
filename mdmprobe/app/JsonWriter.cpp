#include "JsonWriter.h"

std::string JsonQuote(const std::string& text)
{
    static const char kHex[] = "0123456789abcdef";
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '"';
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte >= 0x20 && byte < 0x7f) {
            quoted += c;
        } else {
            quoted += "\\u00";
            quoted += kHex[byte >> 4];
            quoted += kHex[byte & 0xf];
        }
    }
    quoted += '"';
    return quoted;
}

void CJsonWriter::NewLine(size_t depth)
{
    text_ += '\n';
    text_.append(depth * 2, ' ');
}

bool CJsonWriter::BeforeValue()
{
    if (failed_)
        return false;
    if (depth_ == 0) {
        if (wroteTop_) {
            failed_ = true;  // a document holds one value
            return false;
        }
        wroteTop_ = true;
        return true;
    }
    if (scopes_[depth_ - 1] == Scope::Object) {
        if (!nameDue_) {
            failed_ = true;  // a member's value needs its name first
            return false;
        }
        nameDue_ = false;  // Name() wrote the separator and the indent
        return true;
    }
    if (hasItems_[depth_ - 1])
        text_ += ',';
    hasItems_[depth_ - 1] = true;
    NewLine(depth_);
    return true;
}

CJsonWriter& CJsonWriter::Name(const char* name)
{
    if (failed_ || depth_ == 0 || scopes_[depth_ - 1] != Scope::Object || nameDue_ || !name) {
        failed_ = true;
        return *this;
    }
    if (hasItems_[depth_ - 1])
        text_ += ',';
    hasItems_[depth_ - 1] = true;
    NewLine(depth_);
    text_ += JsonQuote(name);
    text_ += ": ";
    nameDue_ = true;
    return *this;
}

CJsonWriter& CJsonWriter::Begin(Scope scope, char open)
{
    if (depth_ >= kMaxDepth) {
        failed_ = true;
        return *this;
    }
    if (!BeforeValue())
        return *this;
    text_ += open;
    scopes_[depth_] = scope;
    hasItems_[depth_] = false;
    ++depth_;
    return *this;
}

CJsonWriter& CJsonWriter::End(Scope scope, char close)
{
    if (failed_ || depth_ == 0 || scopes_[depth_ - 1] != scope || nameDue_) {
        failed_ = true;
        return *this;
    }
    --depth_;
    if (hasItems_[depth_])
        NewLine(depth_);
    text_ += close;
    return *this;
}

CJsonWriter& CJsonWriter::BeginObject()
{
    return Begin(Scope::Object, '{');
}

CJsonWriter& CJsonWriter::EndObject()
{
    return End(Scope::Object, '}');
}

CJsonWriter& CJsonWriter::BeginArray()
{
    return Begin(Scope::Array, '[');
}

CJsonWriter& CJsonWriter::EndArray()
{
    return End(Scope::Array, ']');
}

CJsonWriter& CJsonWriter::String(const std::string& text)
{
    if (BeforeValue())
        text_ += JsonQuote(text);
    return *this;
}

CJsonWriter& CJsonWriter::Number(int64_t value)
{
    if (!BeforeValue())
        return *this;
    // Digits from the last one, through the magnitude as unsigned, so the
    // lowest value has no positive counterpart to overflow.
    uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    char digits[24];
    size_t at = sizeof(digits);
    do {
        digits[--at] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        digits[--at] = '-';
    text_.append(digits + at, sizeof(digits) - at);
    return *this;
}

CJsonWriter& CJsonWriter::Bool(bool value)
{
    if (BeforeValue())
        text_ += value ? "true" : "false";
    return *this;
}

CJsonWriter& CJsonWriter::Null()
{
    if (BeforeValue())
        text_ += "null";
    return *this;
}

CJsonWriter& CJsonWriter::TextOrNull(const char* name, const std::string& text)
{
    Name(name);
    return text.empty() ? Null() : String(text);
}
