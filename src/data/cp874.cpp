#include "cp874.h"

#include <array>

namespace blend {
namespace {

constexpr char32_t kUndefinedBase = 0xF700;

// 0x80-0x9F: the Windows additions; 0xA0: no-break space; 0xA1-0xDA and 0xDF-0xFB: the Thai
// block U+0E01-U+0E3A and U+0E3F-U+0E5B. Zero marks a byte the code page does not define.
constexpr std::array<char32_t, 32> kHigh80 = {
    0x20AC, 0,      0,      0,      0,      0x2026, 0,      0,      0, 0, 0, 0, 0, 0, 0, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0, 0, 0, 0, 0, 0, 0, 0};

constexpr std::array<char32_t, 256> buildTable() {
  std::array<char32_t, 256> t{};
  for (int b = 0; b < 0x80; ++b) t[b] = static_cast<char32_t>(b);
  for (int b = 0x80; b < 0xA0; ++b) t[b] = kHigh80[b - 0x80];
  t[0xA0] = 0x00A0;
  for (int b = 0xA1; b <= 0xDA; ++b) t[b] = 0x0E01 + (b - 0xA1);
  for (int b = 0xDF; b <= 0xFB; ++b) t[b] = 0x0E3F + (b - 0xDF);
  for (int b = 0x80; b < 0x100; ++b)
    if (t[b] == 0) t[b] = kUndefinedBase + b;
  return t;
}

constexpr std::array<char32_t, 256> kToUnicode = buildTable();

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one UTF-8 sequence at s[i]; advances i. Returns U+FFFD for a malformed one.
char32_t nextUtf8(std::string_view s, size_t& i) {
  const auto lead = static_cast<unsigned char>(s[i++]);
  if (lead < 0x80) return lead;
  int extra = 0;
  char32_t cp = 0;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    cp = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    cp = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    cp = lead & 0x07;
  } else {
    return 0xFFFD;
  }
  for (int k = 0; k < extra; ++k) {
    if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 0xFFFD;
    cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
  }
  return cp;
}

}  // namespace

char32_t cp874ToUnicode(unsigned char byte) { return kToUnicode[byte]; }

unsigned char unicodeToCp874(char32_t cp) {
  if (cp < 0x80) return static_cast<unsigned char>(cp);
  if (cp >= 0x0E01 && cp <= 0x0E3A) return static_cast<unsigned char>(0xA1 + (cp - 0x0E01));
  if (cp >= 0x0E3F && cp <= 0x0E5B) return static_cast<unsigned char>(0xDF + (cp - 0x0E3F));
  if (cp >= kUndefinedBase + 0x80 && cp <= kUndefinedBase + 0xFF) {
    const auto b = static_cast<unsigned char>(cp - kUndefinedBase);
    if (kToUnicode[b] == cp) return b;
  }
  for (int b = 0x80; b <= 0xA0; ++b)
    if (kToUnicode[b] == cp) return static_cast<unsigned char>(b);
  return '?';
}

std::string cp874ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 3);
  for (char c : bytes) appendUtf8(out, kToUnicode[static_cast<unsigned char>(c)]);
  return out;
}

std::string utf8ToCp874(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) out += static_cast<char>(unicodeToCp874(nextUtf8(utf8, i)));
  return out;
}

}  // namespace blend
