#pragma once
// Small value operations that many parts of the station share, and that templates may call by
// name: numbers with leading zeros, delimited pieces, upload-safe text, Thai month names and
// Buddhist-era dates, month bounds, 8-bit patterns, hexadecimal digits, waits, grid colours.
// Texts are CP874 bytes.

#include <cstdint>
#include <string>
#include <string_view>

#include "clock.h"
#include "value.h"

namespace blend {

// The integer part of n (cut towards zero) behind w zeros, of which the last w characters
// remain: ZERO(41, 10) is "0000000041", ZERO(12345, 4) is "2345", ZERO(-5, 4) is "00-5".
std::string ZERO(double n, int width);

// As ZERO, with n first written through the weight picture and its blanks removed.
std::string ZERO2(double n, int width, std::string_view weightPicture);

// The k-th piece of text between separators: a number when kind begins with N or n (only the
// characters 0-9 . + - of the trimmed piece count), else the piece itself.
Value SPLIT(std::string_view text, int k, std::string_view separator = ",",
            std::string_view kind = "N");

// Trimmed, with each of ! # $ % & / : ; ? | ~ made "-".
std::string TEXTTRIM(std::string_view text);

// Thai month name (CP874) of month 1 to 12; empty for any other number.
std::string MONTHNAME(int month);

// "วันที่  DD  <month>  พ.ศ.YYYY" with the Buddhist-era year (CP874).
std::string BCYEAR(Date date);

Date FIRSTDAY(Date date);
Date LASTDAY(Date date);

int BIN2DEC(std::string_view bits);
std::string DEC2BIN(double n);
double HEX2DEC(std::string_view hex);
std::string HEX2BIN(std::string_view digit);

// Waits until the time of day differs from the start by at least `seconds`; a wait that spans
// midnight ends at once.
void TDELAY(Clock& clock, double seconds);

// The text colour of a grid row: red for a deleted record, black otherwise.
std::uint32_t SELCOLOR(bool deleted);

}  // namespace blend
