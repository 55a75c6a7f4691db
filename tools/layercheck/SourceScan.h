// Reading the two kinds of dependency a folder declares: the quoted include
// directives of C, C++ and resource files, and the calls of a CMake file
// (for add_library and target_link_libraries). Plain text logic.
#pragma once

#include <string>
#include <vector>

struct IncludeDirective
{
    int line = 0;
    std::string name;  // as written between the quotes
};

// The `#include "name"` directives of `text`, in order. Angle-bracket
// includes and directives inside comments are left out.
std::vector<IncludeDirective> QuotedIncludes(const std::string& text);

struct CMakeCall
{
    int line = 0;                   // where the command's name stands
    std::string command;            // in lower case (CMake ignores case)
    std::vector<std::string> args;  // quotes removed, comments dropped
};

// Every command call of a CMake file, in order.
std::vector<CMakeCall> CMakeCalls(const std::string& text);

// The libraries a target_link_libraries call names: its arguments after the
// target, without the scope keywords, variables, generator expressions and
// imported targets ("A::B").
std::vector<std::string> LinkedNames(const CMakeCall& call);
