// The test log: the only writer of the modem test's log file.
//
// Every line that has text starts with the local time of its first piece as
// "%H:%M:%S - "; empty lines have no prefix. Line ends on disk are CR LF (the
// file behaves like a text-mode stream: every line feed written, also through
// WriteRaw, becomes CR LF). Each line break flushes the file, so complete lines
// survive an abrupt end of the program.
//
// The file holds text only: TAB, CR, the line ends and the bytes from the
// blank up (8-bit bytes included). Any other byte a text brings along (NUL,
// the other control bytes, DEL: a modem's garbage) is written as a '.', so
// it never cuts a line or a text short and never reaches the file.
//
// Thread safety: each call is atomic with respect to the others (one lock per
// object), so the main thread's cancel line never lands inside a worker's text.
#pragma once

#include <cstdio>
#include "Lock.h"
#include <string>

class CLogFile
{
public:
    static constexpr size_t kPathSize = 260;  // 259 characters and the terminator

    // Opens (creates or empties) the log. An empty name means the program's
    // own file name with ".log" instead of ".exe". A name of more than 259
    // characters is refused: nothing is opened rather than writing to a
    // different, cut-off name. When the file cannot be opened the object stays
    // usable and every write is lost silently.
    explicit CLogFile(const std::string& name);
    ~CLogFile();
    CLogFile(const CLogFile&) = delete;
    CLogFile& operator=(const CLogFile&) = delete;

    // Line-aware writing: the text is split at line feeds; a non-empty piece at
    // the start of a line gets the time prefix; each line feed ends the line.
    CLogFile& Write(const char* text);
    // The whole string, also past a zero byte.
    CLogFile& Write(const std::string& text);

    // Writes the characters as they are: no prefix, no line handling; the
    // line-start state stays as it was (bytes the log cannot hold excepted).
    CLogFile& WriteRaw(const std::string& text);

    // Prefix when at the start of a line, the whole text unchanged, then a
    // line break.
    CLogFile& WriteLine(const char* text);

    // Ends an unfinished line first (a line that already has text), then
    // writes `text` like Write: for a text that must begin a line of its own
    // whatever the log's last text was.
    CLogFile& WriteOnNewLine(const std::string& text);

    // The current line stays open, but whatever text comes next begins a
    // line of its own: a next text that starts with a line feed is written as
    // it is (it ends the line itself); any other first ends the line. For a
    // line whose follower is not known to begin with a line break (the log
    // header's command line).
    CLogFile& EndLineBeforeNextText();

    // printf-style text of at most 1023 characters (longer results are cut),
    // written with WriteLine.
    CLogFile& WriteFormat(const char* format, ...)
#ifdef __GNUC__
        __attribute__((format(printf, 2, 3)))
#endif
        ;

    // Full name of the log file (empty when a too-long name was refused).
    const char* GetPath() const { return path_; }
    bool IsOpen() const { return file_ != nullptr; }

private:
    // Write with the lock held; the whole `length` bytes, zero bytes too.
    void WriteUnlocked(const char* text, size_t length);
    void PutText(const char* text, size_t length);  // line feeds become CR LF, see above
    void PutTimePrefixIfAtLineStart();
    void EndLine();
    // Ends the open line when EndLineBeforeNextText asked for it and `first`
    // (the next text's first byte) is not a line feed.
    void SettleLineEnd(char first);

    char path_[kPathSize] = "";
    std::FILE* file_ = nullptr;
    bool atLineStart_ = true;
    bool endLineBeforeText_ = false;  // see EndLineBeforeNextText
    CLock lock_;
};
