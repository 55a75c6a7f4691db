#include "SourceScan.h"

#include <cctype>

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

// `text` with every comment replaced by blanks (line ends kept), so that
// line numbers stay right. String and character literals are kept whole.
std::string WithoutComments(const std::string& text)
{
    std::string out = text;
    size_t i = 0;
    while (i < out.size()) {
        const char c = out[i];
        if (c == '"' || c == '\'') {
            for (++i; i < out.size() && out[i] != c && out[i] != '\n'; ++i) {
                if (out[i] == '\\')
                    ++i;
            }
            ++i;
        } else if (c == '/' && i + 1 < out.size() && out[i + 1] == '/') {
            for (; i < out.size() && out[i] != '\n'; ++i)
                out[i] = ' ';
        } else if (c == '/' && i + 1 < out.size() && out[i + 1] == '*') {
            out[i] = out[i + 1] = ' ';
            for (i += 2; i < out.size() && !(out[i] == '*' && i + 1 < out.size() && out[i + 1] == '/'); ++i) {
                if (out[i] != '\n')
                    out[i] = ' ';
            }
            if (i < out.size())
                out[i] = out[i + 1] = ' ';
            i += 2;
        } else {
            ++i;
        }
    }
    return out;
}

}  // namespace

std::vector<IncludeDirective> QuotedIncludes(const std::string& text)
{
    std::vector<IncludeDirective> found;
    const std::string code = WithoutComments(text);
    int line = 1;
    for (size_t start = 0; start <= code.size(); ++line) {
        size_t end = code.find('\n', start);
        if (end == std::string::npos)
            end = code.size();
        size_t i = start;
        while (i < end && IsSpace(code[i]))
            ++i;
        if (i < end && code[i] == '#') {
            for (++i; i < end && IsSpace(code[i]); ++i) {
            }
            if (code.compare(i, 7, "include") == 0) {
                for (i += 7; i < end && IsSpace(code[i]); ++i) {
                }
                const size_t close = i < end && code[i] == '"' ? code.find('"', i + 1) : std::string::npos;
                if (close != std::string::npos && close < end)
                    found.push_back({line, code.substr(i + 1, close - i - 1)});
            }
        }
        start = end + 1;
    }
    return found;
}

std::vector<CMakeCall> CMakeCalls(const std::string& text)
{
    std::vector<CMakeCall> calls;
    int line = 1;
    size_t i = 0;
    const size_t n = text.size();
    auto skipComment = [&] {
        while (i < n && text[i] != '\n')
            ++i;
    };
    while (i < n) {
        const char c = text[i];
        if (c == '\n') {
            ++line;
            ++i;
        } else if (c == '#') {
            skipComment();
        } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            CMakeCall call;
            call.line = line;
            while (i < n && (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '_'))
                call.command += static_cast<char>(std::tolower(static_cast<unsigned char>(text[i++])));
            while (i < n && IsSpace(text[i]))
                ++i;
            if (i >= n || text[i] != '(')
                continue;
            ++i;
            int depth = 1;
            std::string arg;
            bool inArg = false;
            auto endArg = [&] {
                if (inArg)
                    call.args.push_back(arg);
                arg.clear();
                inArg = false;
            };
            while (i < n && depth > 0) {
                const char d = text[i];
                if (d == '\n') {
                    endArg();
                    ++line;
                    ++i;
                } else if (IsSpace(d)) {
                    endArg();
                    ++i;
                } else if (d == '#' && !inArg) {
                    skipComment();
                } else if (d == '"') {
                    inArg = true;
                    for (++i; i < n && text[i] != '"'; ++i) {
                        if (text[i] == '\\' && i + 1 < n)
                            ++i;
                        if (text[i] == '\n')
                            ++line;
                        arg += text[i];
                    }
                    ++i;
                } else if (d == '(' || d == ')') {
                    depth += d == '(' ? 1 : -1;
                    if (depth > 0) {
                        arg += d;
                        inArg = true;
                    }
                    ++i;
                } else {
                    arg += d;
                    inArg = true;
                    ++i;
                }
            }
            endArg();
            calls.push_back(call);
        } else {
            ++i;
        }
    }
    return calls;
}

std::vector<std::string> LinkedNames(const CMakeCall& call)
{
    std::vector<std::string> names;
    for (size_t k = 1; k < call.args.size(); ++k) {
        const std::string& arg = call.args[k];
        if (arg == "PUBLIC" || arg == "PRIVATE" || arg == "INTERFACE" || arg == "LINK_PUBLIC"
            || arg == "LINK_PRIVATE" || arg == "LINK_INTERFACE_LIBRARIES")
            continue;
        if (arg.find('$') != std::string::npos || arg.find("::") != std::string::npos || arg.empty()
            || arg[0] == '-')
            continue;
        names.push_back(arg);
    }
    return names;
}
