#include "JsonParse.h"

#include <cstdlib>

namespace {

class Parser
{
public:
    explicit Parser(const std::string& text) : text_(text) {}

    std::optional<Json> Document(std::string* error)
    {
        std::optional<Json> value = Value();
        Blanks();
        if (value && at_ != text_.size()) Fail("text after the value");
        if (!error_.empty()) {
            *error = error_ + " at offset " + std::to_string(at_);
            return std::nullopt;
        }
        return value;
    }

private:
    void Fail(const std::string& why)
    {
        if (error_.empty()) error_ = why;
    }
    void Blanks()
    {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\n' || text_[at_] == '\r' || text_[at_] == '\t'))
            ++at_;
    }
    bool Take(char c)
    {
        Blanks();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    bool Word(const char* word)
    {
        const std::string w = word;
        if (text_.compare(at_, w.size(), w) != 0) return false;
        at_ += w.size();
        return true;
    }

    std::optional<std::string> String()
    {
        if (!Take('"')) {
            Fail("a text was expected");
            return std::nullopt;
        }
        std::string out;
        while (at_ < text_.size() && text_[at_] != '"') {
            char c = text_[at_++];
            if (static_cast<unsigned char>(c) < 0x20) {
                Fail("a control character inside a text");
                return std::nullopt;
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at_ >= text_.size()) break;
            c = text_[at_++];
            switch (c) {
            case '"': case '\\': case '/': out += c; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'u': {
                const std::string hex = text_.substr(at_, 4);
                char* end = nullptr;
                const long code = std::strtol(hex.c_str(), &end, 16);
                if (hex.size() != 4 || *end != '\0' || code > 0xFF) {
                    Fail("an escape other than \\u0000 to \\u00ff");
                    return std::nullopt;
                }
                out += static_cast<char>(code);
                at_ += 4;
                break;
            }
            default: Fail("an unknown escape"); return std::nullopt;
            }
        }
        if (!Take('"')) {
            Fail("an unended text");
            return std::nullopt;
        }
        return out;
    }

    std::optional<Json> Value()
    {
        if (++depth_ > 64) {
            Fail("too deep");
            return std::nullopt;
        }
        Blanks();
        std::optional<Json> value;
        if (at_ >= text_.size()) {
            Fail("a value was expected");
        } else if (text_[at_] == '{') {
            value = Object();
        } else if (text_[at_] == '[') {
            value = Array();
        } else if (text_[at_] == '"') {
            if (std::optional<std::string> text = String()) value = Json(*text);
        } else if (Word("true")) {
            value = Json(true);
        } else if (Word("false")) {
            value = Json(false);
        } else if (Word("null")) {
            value = Json();
        } else {
            char* end = nullptr;
            const long long number = std::strtoll(text_.c_str() + at_, &end, 10);
            if (end == text_.c_str() + at_) Fail("a value was expected");
            else value = Json(number);
            at_ = static_cast<size_t>(end - text_.c_str());
        }
        --depth_;
        return error_.empty() ? value : std::nullopt;
    }

    std::optional<Json> Object()
    {
        Json object = Json::Object();
        Take('{');
        if (Take('}')) return object;
        do {
            std::optional<std::string> name = String();
            if (!name || !Take(':')) {
                Fail("a member was expected");
                return std::nullopt;
            }
            // Legal JSON, but a writer that repeats a member loses one of them.
            if (object.Find(*name)) {
                Fail("the member \"" + *name + "\" given twice");
                return std::nullopt;
            }
            std::optional<Json> value = Value();
            if (!value) return std::nullopt;
            object.Set(*name, *value);
        } while (Take(','));
        if (!Take('}')) Fail("an unended object");
        return object;
    }

    std::optional<Json> Array()
    {
        Json array = Json::Array();
        Take('[');
        if (Take(']')) return array;
        do {
            std::optional<Json> value = Value();
            if (!value) return std::nullopt;
            array.Add(*value);
        } while (Take(','));
        if (!Take(']')) Fail("an unended array");
        return array;
    }

    const std::string& text_;
    size_t at_ = 0;
    int depth_ = 0;
    std::string error_;
};

}  // namespace

std::optional<Json> ParseJson(const std::string& text, std::string* error)
{
    return Parser(text).Document(error);
}

const Json& MemberOf(const Json& object, const std::string& name)
{
    static const Json none;
    const Json* member = object.Find(name);
    return member ? *member : none;
}

std::string TextOf(const Json& object, const std::string& name)
{
    const Json& member = MemberOf(object, name);
    return member.kind == Json::Kind::String ? member.text : "";
}
