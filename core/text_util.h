// Text and number routines shared by every subsystem.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hc11 {

// Cuts the next token off the front of `text`: leading blanks are skipped, a
// leading "-" is taken into the token, then characters up to the first one in
// `separators`. `text` keeps what follows that separator (the separator itself
// is dropped); without a separator the rest is the token and `text` empties.
std::string NextToken(std::string& text, std::string_view separators);

// Decimal digits only, or "$" followed by at least one hex digit; fails on an
// empty text, any other character, or a value above 65535.
std::optional<std::uint16_t> StrToWord(std::string_view text);

// An optional leading "-" then the notation of StrToWord, without its bound.
std::optional<long long> StrToIntSigned(std::string_view text);

// The words of a typed list: blanks, tabs and commas separate them, and
// several separators in a row count as one.
std::vector<std::string> SplitBlanksAndCommas(std::string_view text);

// Blank trimming (spaces and control characters, as the listing tools expect).
std::string_view TrimView(std::string_view text);
std::string Trim(std::string_view text);
std::string ToLower(std::string_view text);

// `text` as one field of a tab-separated output line: tabs, line breaks and
// NUL bytes become blanks, so the line keeps its number of fields.
std::string FieldText(std::string_view text);

// printf-style formatting into a std::string, for the fixed message formats.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

}  // namespace hc11
