#include "LogFile.h"

#include "ModulePath.h"

#include <cstdarg>
#include <cstring>
#include <ctime>

namespace {

// "%H:%M:%S - " of the current local time.
std::string TimePrefix()
{
    std::time_t now = std::time(nullptr);
    std::tm local = {};
#ifdef _WIN32
    // msvcrt keeps localtime's result per thread.
    if (const std::tm* t = std::localtime(&now))
        local = *t;
#else
    localtime_r(&now, &local);
#endif
    char text[32] = "";
    std::strftime(text, sizeof(text), "%H:%M:%S - ", &local);
    return text;
}

}  // namespace

CLogFile::CLogFile(const std::string& name)
{
    std::string path = name.empty() ? ReplaceExtension4(ModuleFilePath(), ".log") : name;
    if (path.empty() || path.size() >= kPathSize)
        return;
    std::memcpy(path_, path.c_str(), path.size() + 1);
    file_ = std::fopen(path_, "wb");
}

CLogFile::~CLogFile()
{
    if (file_)
        std::fclose(file_);
}

void CLogFile::PutText(const char* text, size_t length)
{
    if (!file_)
        return;
    std::string bytes;
    bytes.reserve(length + 16);
    for (size_t i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\n')
            bytes += "\r\n";
        else if (byte == '\t' || byte == '\r' || (byte >= 0x20 && byte != 0x7F))
            bytes += static_cast<char>(byte);
        else
            bytes += '.';
    }
    std::fwrite(bytes.data(), 1, bytes.size(), file_);
}

void CLogFile::PutTimePrefixIfAtLineStart()
{
    if (!atLineStart_)
        return;
    std::string prefix = TimePrefix();
    PutText(prefix.data(), prefix.size());
    atLineStart_ = false;
}

void CLogFile::EndLine()
{
    PutText("\n", 1);
    if (file_)
        std::fflush(file_);
    atLineStart_ = true;
}

void CLogFile::SettleLineEnd(char first)
{
    if (!endLineBeforeText_)
        return;
    endLineBeforeText_ = false;
    if (first != '\n' && !atLineStart_)
        EndLine();
}

CLogFile& CLogFile::EndLineBeforeNextText()
{
    CLockGuard guard(lock_);
    endLineBeforeText_ = true;
    return *this;
}

CLogFile& CLogFile::Write(const char* text)
{
    CLockGuard guard(lock_);
    if (text)
        WriteUnlocked(text, std::strlen(text));
    return *this;
}

CLogFile& CLogFile::Write(const std::string& text)
{
    CLockGuard guard(lock_);
    WriteUnlocked(text.data(), text.size());
    return *this;
}

CLogFile& CLogFile::WriteOnNewLine(const std::string& text)
{
    CLockGuard guard(lock_);
    if (!atLineStart_)
        EndLine();
    WriteUnlocked(text.data(), text.size());
    return *this;
}

void CLogFile::WriteUnlocked(const char* text, size_t length)
{
    if (length == 0)
        return;
    SettleLineEnd(text[0]);
    const char* end = text + length;
    for (;;) {
        const char* lf = static_cast<const char*>(std::memchr(text, '\n', end - text));
        const size_t piece = static_cast<size_t>((lf ? lf : end) - text);
        if (piece > 0) {
            PutTimePrefixIfAtLineStart();
            PutText(text, piece);
        }
        if (!lf)
            break;
        EndLine();
        text = lf + 1;
    }
}

CLogFile& CLogFile::WriteRaw(const std::string& text)
{
    CLockGuard guard(lock_);
    if (!text.empty())
        SettleLineEnd(text[0]);
    PutText(text.data(), text.size());
    return *this;
}

CLogFile& CLogFile::WriteLine(const char* text)
{
    CLockGuard guard(lock_);
    SettleLineEnd(text && text[0] == '\n' ? '\n' : ' ');
    PutTimePrefixIfAtLineStart();
    if (text)
        PutText(text, std::strlen(text));
    EndLine();
    return *this;
}

CLogFile& CLogFile::WriteFormat(const char* format, ...)
{
    char buffer[1024];
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(buffer, sizeof(buffer), format, args);
    va_end(args);
    if (length < 0)
        buffer[0] = '\0';
    return WriteLine(buffer);
}
