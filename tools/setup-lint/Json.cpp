#include "Json.h"

#include <cstdio>

namespace {

void Quote(const std::string& text, std::string* out)
{
    *out += '"';
    for (const char raw : text) {
        const unsigned char c = static_cast<unsigned char>(raw);
        if (c == '"' || c == '\\') {
            *out += '\\';
            *out += raw;
        } else if (c == '\n') {
            *out += "\\n";
        } else if (c == '\r') {
            *out += "\\r";
        } else if (c == '\t') {
            *out += "\\t";
        } else if (c < 0x20 || c >= 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            *out += escaped;
        } else {
            *out += raw;
        }
    }
    *out += '"';
}

void Write(const Json& value, int depth, std::string* out)
{
    const std::string inner(static_cast<size_t>(depth + 1) * 2, ' ');
    const std::string outer(static_cast<size_t>(depth) * 2, ' ');
    switch (value.kind) {
    case Json::Kind::Null: *out += "null"; break;
    case Json::Kind::Boolean: *out += value.boolean ? "true" : "false"; break;
    case Json::Kind::Number: *out += std::to_string(value.number); break;
    case Json::Kind::String: Quote(value.text, out); break;
    case Json::Kind::Array:
        if (value.items.empty()) {
            *out += "[]";
            break;
        }
        *out += "[\n";
        for (size_t i = 0; i < value.items.size(); ++i) {
            *out += inner;
            Write(value.items[i], depth + 1, out);
            *out += i + 1 < value.items.size() ? ",\n" : "\n";
        }
        *out += outer + "]";
        break;
    case Json::Kind::Object:
        if (value.members.empty()) {
            *out += "{}";
            break;
        }
        *out += "{\n";
        for (size_t i = 0; i < value.members.size(); ++i) {
            *out += inner;
            Quote(value.members[i].first, out);
            *out += ": ";
            Write(value.members[i].second, depth + 1, out);
            *out += i + 1 < value.members.size() ? ",\n" : "\n";
        }
        *out += outer + "}";
        break;
    }
}

}  // namespace

const Json* Json::Find(const std::string& name) const
{
    for (const auto& member : members)
        if (member.first == name) return &member.second;
    return nullptr;
}

std::string WriteJson(const Json& value)
{
    std::string out;
    Write(value, 0, &out);
    return out + "\n";
}
