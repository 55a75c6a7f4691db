// A JSON value built in memory and written as text: objects keep their
// members in the order they were added. Texts are the script's 8-bit texts;
// bytes above 127 are written as the characters of ISO 8859-1 (\u00XX).
#pragma once

#include <string>
#include <utility>
#include <vector>

struct Json
{
    enum class Kind { Null, Boolean, Number, String, Array, Object };

    Kind kind = Kind::Null;
    bool boolean = false;
    long long number = 0;
    std::string text;
    std::vector<Json> items;                            // Array
    std::vector<std::pair<std::string, Json>> members;  // Object

    static Json Array() { Json value; value.kind = Kind::Array; return value; }
    static Json Object() { Json value; value.kind = Kind::Object; return value; }
    Json() = default;
    Json(const std::string& value) : kind(Kind::String), text(value) {}
    Json(const char* value) : kind(Kind::String), text(value) {}
    Json(long long value) : kind(Kind::Number), number(value) {}
    Json(int value) : kind(Kind::Number), number(value) {}
    Json(bool value) : kind(Kind::Boolean), boolean(value) {}

    // Adds a member (objects) and returns this object.
    Json& Set(const std::string& name, Json value)
    {
        members.emplace_back(name, std::move(value));
        return *this;
    }
    // Appends an item (arrays) and returns this array.
    Json& Add(Json value)
    {
        items.push_back(std::move(value));
        return *this;
    }
    // The member `name`, or null when there is none.
    const Json* Find(const std::string& name) const;
};

// The value as indented JSON text (two blanks per level), ending with a
// line end.
std::string WriteJson(const Json& value);
