// Reading a setup script the way the Setup API does; see InfDocument.h.
#include "InfDocument.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

std::string Lower(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Reads the script character by character. A backslash followed by nothing
// but blanks (or a comment) up to the line end joins the next line to the
// current field; anywhere else it is an ordinary character.
class Reader
{
public:
    explicit Reader(const std::string& text) : text_(text) {}

    InfDocument Read()
    {
        if (text_.compare(0, 3, "\xEF\xBB\xBF") == 0) pos_ = 3;
        while (pos_ < text_.size() && !stopped_) {
            const char c = text_[pos_];
            if (c == '\n') {
                NewLine();
            } else if (IsBlank(c)) {
                ++pos_;
            } else if (c == ';') {
                SkipToLineEnd();
            } else if (c == '[') {
                ReadSectionHeader();
            } else {
                ReadDataLine();
            }
        }
        Substitute();
        return std::move(doc_);
    }

private:
    void NewLine() { ++pos_; ++line_; }
    void SkipToLineEnd()
    {
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
    }
    bool AtLineEnd() const { return pos_ >= text_.size() || text_[pos_] == '\n'; }
    void Fail(const std::string& text)
    {
        doc_.problems.push_back({line_, true, text});
        stopped_ = true;
    }

    void ReadSectionHeader()
    {
        const size_t start = ++pos_;
        while (!AtLineEnd() && text_[pos_] != ']') ++pos_;
        if (AtLineEnd()) {
            Fail("section name without its closing ']': setup.exe refuses the file");
            return;
        }
        const std::string name = text_.substr(start, pos_ - start);
        current_ = -1;
        for (size_t i = 0; i < doc_.sections.size(); ++i)
            if (SameName(doc_.sections[i].name, name)) current_ = static_cast<int>(i);
        if (current_ < 0) {
            doc_.sections.push_back({name, line_, {}});
            current_ = static_cast<int>(doc_.sections.size()) - 1;
        }
        SkipToLineEnd();  // the rest of a header line is ignored
    }

    // True (and the position moved to the next line) when the backslash at
    // the position continues the line.
    bool Continues()
    {
        size_t p = pos_;
        while (p < text_.size() && (text_[p] == '\\' || IsBlank(text_[p]))) ++p;
        if (p < text_.size() && text_[p] == ';')
            while (p < text_.size() && text_[p] != '\n') ++p;
        if (p < text_.size() && text_[p] != '\n') return false;
        pos_ = p;
        if (pos_ < text_.size()) NewLine();
        return true;
    }

    // One field up to ',', '=' (when `keyAllowed`), ';' or the line end
    // (outside quotes). Leading and trailing blanks outside quotes are
    // dropped; blanks inside the field stay.
    std::string ReadField(bool keyAllowed, char* stop)
    {
        std::string field;
        size_t kept = 0;  // length without trailing unquoted blanks
        bool started = false;
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '\n' || c == ',' || c == ';' || (c == '=' && keyAllowed)) break;
            if (c == '"') {
                ++pos_;
                while (!AtLineEnd()) {
                    if (text_[pos_] == '"') {
                        if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '"') {
                            field += '"';
                            pos_ += 2;
                            continue;
                        }
                        ++pos_;
                        break;
                    }
                    field += text_[pos_++];
                }
                kept = field.size();
                started = true;
                continue;
            }
            if (c == '\\' && Continues()) {
                field.resize(kept);
                continue;
            }
            ++pos_;
            if (IsBlank(c) && !started) continue;
            field += c;
            if (!IsBlank(c)) kept = field.size();
            started = true;
        }
        field.resize(kept);
        *stop = pos_ < text_.size() ? text_[pos_] : '\n';
        if (*stop != '\n') ++pos_;
        return field;
    }

    void ReadDataLine()
    {
        if (current_ < 0) {
            Fail("text before the first section: setup.exe refuses the file");
            return;
        }
        InfLine line;
        line.number = line_;
        char stop = 0;
        std::string first = ReadField(true, &stop);
        if (stop == '=') {
            line.hasKey = true;
            line.key = first;
        } else {
            line.raw.push_back(first);
        }
        while (stop == ',' || stop == '=') line.raw.push_back(ReadField(false, &stop));
        if (stop == ';') SkipToLineEnd();
        if (!line.hasKey && line.raw.size() == 1) line.key = line.raw[0];
        doc_.sections[current_].lines.push_back(std::move(line));
    }

    // %name% from [Strings] in every field; "%%" is one "%"; a number names
    // a directory id (known only on the target machine) and stays, as does
    // a name that [Strings] lacks (that one is reported).
    void Substitute()
    {
        std::map<std::string, std::string> strings;
        if (const InfSection* section = doc_.Find("Strings"))
            for (const InfLine& line : section->lines)
                if (line.hasKey && !line.raw.empty()) strings.emplace(Lower(line.key), line.raw[0]);
        for (InfSection& section : doc_.sections)
            for (InfLine& line : section.lines)
                for (const std::string& raw : line.raw)
                    line.fields.push_back(SubstituteField(raw, strings, line.number));
    }

    std::string SubstituteField(const std::string& raw, const std::map<std::string, std::string>& strings,
                                int lineNumber)
    {
        std::string out;
        size_t from = 0;
        for (;;) {
            const size_t open = raw.find('%', from);
            const size_t close = open == std::string::npos ? open : raw.find('%', open + 1);
            if (close == std::string::npos) return out + raw.substr(from);
            out += raw.substr(from, open - from);
            const std::string name = raw.substr(open + 1, close - open - 1);
            const auto found = strings.find(Lower(name));
            if (name.empty()) {
                out += '%';
            } else if (found != strings.end()) {
                out += found->second;
            } else {
                out += raw.substr(open, close - open + 1);
                bool number = true;
                for (char c : name) number = number && std::isdigit(static_cast<unsigned char>(c));
                // %hwnd% is setup.exe's own placeholder in Exec arguments.
                if (!number && Lower(name) != "hwnd")
                    doc_.problems.push_back({lineNumber, false, "%" + name + "% is not defined in [Strings]"});
            }
            from = close + 1;
        }
    }

    const std::string& text_;
    size_t pos_ = 0;
    int line_ = 1;
    int current_ = -1;
    bool stopped_ = false;
    InfDocument doc_;
};

}  // namespace

const std::string& InfLine::Field(size_t n) const
{
    static const std::string empty;
    return HasField(n) ? fields[n - 1] : empty;
}

bool SameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

const InfSection* InfDocument::Find(const std::string& name) const
{
    for (const InfSection& section : sections)
        if (SameName(section.name, name)) return &section;
    return nullptr;
}

const InfLine* InfDocument::FindKey(const std::string& section, const std::string& key) const
{
    if (const InfSection* found = Find(section))
        for (const InfLine& line : found->lines)
            if (SameName(line.key, key)) return &line;
    return nullptr;
}

InfDocument ParseInf(const std::string& text)
{
    return Reader(text).Read();
}
