// Text rules of the modem definition file that do not need the system's
// private-profile reader: section header lines, the zero-separated section
// buffer, decimal numbers. Plain strings only; built and tested on the host.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The name in a section header line ("[Common]" -> "Common"): a line that is
// not empty, starts with "[" and ends with "]" (a trailing CR, as left by a
// file with CR LF line ends read in binary mode, is ignored). Every leading
// "[" and every trailing "]" is removed. False for any other line.
bool ParseSectionHeader(const std::string& line, std::string& name);

// The section names of a whole file's text, in file order.
std::vector<std::string> SectionNames(const std::string& text);

// Splits the buffer a section read returns ("a=1\0b=2\0\0") into its
// entries, in order. Stops at the first empty entry or at `length`.
std::vector<std::string> SplitSectionBuffer(const char* buffer, size_t length);

// Decimal conversion as the program applies it to numbers from the file:
// leading blanks, an optional sign, then digits up to the first non-digit;
// no digits gives 0. Results beyond the 32-bit range are clamped.
int32_t ParseDecimal(const std::string& text);
