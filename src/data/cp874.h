#pragma once
// Code page 874 (single-byte Thai) <-> UTF-8.
//
// Everything the station stores, compares, prints or sends is CP874 bytes held in std::string;
// only the screen and UTF-8 exports see Unicode. Conversion is lossless for every byte: the
// bytes that code page 874 leaves undefined decode to the private-use characters U+F700 + byte
// and encode back to the same byte, so a damaged or foreign text survives a round trip.

#include <string>
#include <string_view>

namespace blend {

// The Unicode code point for one CP874 byte.
char32_t cp874ToUnicode(unsigned char byte);

// The CP874 byte for a code point, or '?' when the code page has none.
unsigned char unicodeToCp874(char32_t cp);

std::string cp874ToUtf8(std::string_view bytes);

// Malformed UTF-8 sequences and characters without a CP874 byte become '?'.
std::string utf8ToCp874(std::string_view utf8);

// Shorthand for the Thai literals of the source that go into data.
inline std::string tis(std::string_view utf8) { return utf8ToCp874(utf8); }

}  // namespace blend
