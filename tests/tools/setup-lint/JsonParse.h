// Reads the JSON documents setup-lint writes back into Json values, for
// tests on the host and under Wine.
#pragma once

#include "Json.h"

#include <optional>
#include <string>

// The value of `text`, or nothing when it is not one complete JSON value or
// an object repeats a member (then `error` tells where it went wrong).
std::optional<Json> ParseJson(const std::string& text, std::string* error);

// Member access for tests: the text of member `name` ("" when missing or
// not a string), and the member itself (a null value when missing).
std::string TextOf(const Json& object, const std::string& name);
const Json& MemberOf(const Json& object, const std::string& name);
