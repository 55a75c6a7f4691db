#include "LocationList.h"

#include "FileText.h"
#include "ModulePath.h"

namespace {

std::string Trim(const std::string& text, const char* characters)
{
    size_t begin = text.find_first_not_of(characters);
    if (begin == std::string::npos)
        return std::string();
    size_t end = text.find_last_not_of(characters);
    return text.substr(begin, end - begin + 1);
}

}  // namespace

Location ParseLocationLine(const std::string& line)
{
    std::string fields[5];
    size_t start = 0;
    for (int field = 0; field < 5; ++field) {
        size_t comma = line.find(',', start);
        fields[field] = line.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    Location location;
    location.name = Trim(fields[2], " \t");
    location.number = Trim(fields[3], " \t") + Trim(fields[4], " \t\r\n");
    return location;
}

std::vector<Location> ParseLocationList(const std::string& text)
{
    std::vector<Location> locations;
    size_t start = 0;
    while (start < text.size()) {
        size_t lf = text.find('\n', start);
        size_t stop = lf == std::string::npos ? text.size() : lf;
        size_t length = stop - start;
        if (length > 0 && text[start + length - 1] == '\r')
            --length;  // CR LF line ends
        if (length > kLocationLineMax)
            length = kLocationLineMax;
        Location location = ParseLocationLine(text.substr(start, length));
        if (!location.name.empty() || !location.number.empty())
            locations.push_back(location);
        start = stop + 1;
    }
    return locations;
}

std::string LocationNumber(const std::vector<Location>& locations, const std::string& name)
{
    for (const Location& location : locations) {
        if (location.name == name)
            return location.number;
    }
    return std::string();
}

std::string LocationListPath(const std::string& programPath)
{
    return ReplaceExtension4(programPath, ".dat");
}

bool ReadLocationList(const std::string& path, std::vector<Location>& locations)
{
    locations.clear();
    std::string text;
    if (!ReadFileText(path, text))
        return false;
    locations = ParseLocationList(text);
    return true;
}
