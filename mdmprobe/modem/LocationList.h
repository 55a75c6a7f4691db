// The location list beside the program (its path with ".dat" instead of
// ".exe"): one location per line, fields separated by commas,
//   id, country, name, number part 1, number part 2[, anything else]
// The first two fields are not used; the dial number is part 1 followed
// directly by part 2. Plain strings only; the search page fills its list
// and number field from these functions.
#pragma once

#include <string>
#include <vector>

struct Location
{
    std::string name;    // field 3, blanks trimmed: the text shown in the list
    std::string number;  // field 4 + field 5, each trimmed: the number dialled
};

// Longest line the list reads; the rest of a longer line is ignored.
constexpr size_t kLocationLineMax = 511;

// Splits one line. Missing fields are empty; fields after the fifth are
// ignored. Field 3 and 4 lose surrounding blanks, field 5 also CR and LF.
Location ParseLocationLine(const std::string& line);

// All locations of a file's text, in file order. Lines longer than
// kLocationLineMax characters are cut there. Lines that give neither a name
// nor a number (empty lines) add nothing.
std::vector<Location> ParseLocationList(const std::string& text);

// The number of the first location whose name equals `name` exactly, or
// an empty text when there is none.
std::string LocationNumber(const std::vector<Location>& locations, const std::string& name);

// The list file of a program: `programPath` with ".dat" instead of ".exe".
std::string LocationListPath(const std::string& programPath);

// Reads and parses the list file. False (and no locations) when the file
// cannot be opened.
bool ReadLocationList(const std::string& path, std::vector<Location>& locations);
