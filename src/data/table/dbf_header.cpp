#include "dbf_header.h"

#include <algorithm>
#include <cstring>

#include "data/text_util.h"

namespace blend {
namespace {

std::uint16_t u16(std::string_view b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                    static_cast<unsigned char>(b[at + 1]) << 8);
}

std::uint32_t u32(std::string_view b, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
  return v;
}

void put16(std::string& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<char>(v & 0xFF);
  b[at + 1] = static_cast<char>(v >> 8 & 0xFF);
}

void put32(char* b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[i] = static_cast<char>(v >> (8 * i) & 0xFF);
}

bool validName(std::string_view name) {
  if (name.empty() || name.size() > 10) return false;
  const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  if (!letter(name[0])) return false;
  for (char c : name)
    if (!letter(c) && !(c >= '0' && c <= '9') && c != '_') return false;
  return true;
}

// Width and decimals rules shared by creation and reading; creation is stricter on numbers.
bool validShape(const FieldDef& f, bool creating, std::string& why) {
  const std::string what = "field " + f.name + ": ";
  switch (f.type) {
    case 'C':
      if (f.width < 1 || f.width > 254 || f.decimals != 0) {
        why = what + "a character field is 1 to 254 bytes wide without decimals";
        return false;
      }
      return true;
    case 'N':
    case 'F': {
      if (creating && f.type == 'F') break;
      const int maxWidth = creating ? 20 : 254;
      const bool decimalsFit =
          f.decimals == 0 || (f.decimals > 0 && f.decimals <= f.width - 2);
      if (f.width < 1 || f.width > maxWidth || !decimalsFit) {
        why = what + "a numeric field is 1 to " + std::to_string(maxWidth) +
              " wide with room for its decimals";
        return false;
      }
      return true;
    }
    case 'D':
      if (f.width != 8 || f.decimals != 0) {
        why = what + "a date field is 8 wide";
        return false;
      }
      return true;
    case 'L':
      if (creating) break;
      if (f.width != 1) {
        why = what + "a logical field is 1 wide";
        return false;
      }
      return true;
  }
  why = what + "type " + std::string(1, f.type) + " is not supported";
  return false;
}

bool finishLayout(std::vector<Field>& fields, DbfHeader& header, std::string& why) {
  int offset = 1;
  for (Field& f : fields) {
    f.offset = offset;
    offset += f.width;
  }
  if (offset > 65535) {
    why = "records would be longer than 65535 bytes";
    return false;
  }
  const std::size_t headerLength = DbfHeader::kFixedSize + DbfHeader::kDescriptorSize * fields.size() + 1;
  if (headerLength > 65535) {
    why = "too many fields";
    return false;
  }
  header.recordLength = static_cast<std::uint16_t>(offset);
  header.headerLength = static_cast<std::uint16_t>(headerLength);
  header.fields = std::move(fields);
  return true;
}

}  // namespace

bool layoutFields(const std::vector<FieldDef>& defs, DbfHeader& header, std::string& why) {
  if (defs.empty()) {
    why = "a table needs at least one field";
    return false;
  }
  std::vector<Field> fields;
  for (const FieldDef& d : defs) {
    if (!validName(d.name)) {
      why = "field name \"" + d.name + "\" is not 1 to 10 letters, digits or _ after a letter";
      return false;
    }
    Field f;
    static_cast<FieldDef&>(f) = d;
    for (char& c : f.name) c = upperAscii(c);
    for (const Field& other : fields)
      if (other.name == f.name) {
        why = "field " + f.name + " appears twice";
        return false;
      }
    if (!validShape(f, true, why)) return false;
    fields.push_back(std::move(f));
  }
  return finishLayout(fields, header, why);
}

std::uint16_t statedHeaderLength(std::string_view fixedPart) {
  return fixedPart.size() < DbfHeader::kFixedSize ? 0 : u16(fixedPart, 8);
}

bool parseDbfHeader(std::string_view b, DbfHeader& header, std::string& why) {
  if (b.size() < DbfHeader::kFixedSize) {
    why = "the file is shorter than a table header";
    return false;
  }
  const auto version = static_cast<std::uint8_t>(b[0]);
  if (version == 0x83 || version == 0x8B) {
    why = "the table has memo fields, which this engine does not read";
    return false;
  }
  if (version != DbfHeader::kVersion) {
    why = "not a dBase III table (version byte " + std::to_string(version) + ")";
    return false;
  }
  const auto language = static_cast<std::uint8_t>(b[29]);
  if (language != 0 && language != 0x50 && language != DbfHeader::kLanguageThai) {
    why = "the table is marked for another code page (language driver " +
          std::to_string(language) + ")";
    return false;
  }
  const std::uint16_t headerLength = u16(b, 8);
  const std::uint16_t recordLength = u16(b, 10);
  if (headerLength > b.size()) {
    why = "the header is cut short";
    return false;
  }
  std::vector<Field> fields;
  std::size_t at = DbfHeader::kFixedSize;
  for (;;) {
    if (at >= headerLength) {
      why = "the header length does not match its field descriptors";
      return false;
    }
    if (b[at] == '\x0D') break;
    if (at + DbfHeader::kDescriptorSize >= headerLength) {
      why = "the header length does not match its field descriptors";
      return false;
    }
    Field f;
    const std::string_view rawName = b.substr(at, 11);
    f.name = std::string(rawName.substr(0, rawName.find('\0')));
    f.type = upperAscii(b[at + 11]);
    f.width = static_cast<unsigned char>(b[at + 16]);
    f.decimals = static_cast<unsigned char>(b[at + 17]);
    if (f.name.empty()) {
      why = "a field has no name";
      return false;
    }
    if (!validShape(f, false, why)) return false;
    fields.push_back(std::move(f));
    at += DbfHeader::kDescriptorSize;
  }
  if (fields.empty()) {
    why = "the table has no fields";
    return false;
  }
  DbfHeader parsed;
  if (!finishLayout(fields, parsed, why)) return false;
  if (parsed.recordLength != recordLength) {
    why = "the record length does not match the field widths";
    return false;
  }
  parsed.version = version;
  parsed.languageDriver = language;
  parsed.lastUpdate = Date::fromYmd(1900 + static_cast<unsigned char>(b[1]),
                                    static_cast<unsigned char>(b[2]),
                                    static_cast<unsigned char>(b[3]));
  parsed.count = u32(b, kCountOffset);
  parsed.headerLength = headerLength;  // a foreign writer may leave a byte after the 0x0D
  header = std::move(parsed);
  return true;
}

std::string serializeDbfHeader(const DbfHeader& h) {
  std::string b(h.headerLength, '\0');
  b[0] = static_cast<char>(h.version);
  const auto stamp = headerStamp(h.lastUpdate, h.count);
  std::memcpy(&b[kStampOffset], stamp.data(), stamp.size());
  put16(b, 8, h.headerLength);
  put16(b, 10, h.recordLength);
  b[29] = static_cast<char>(h.languageDriver);
  std::size_t at = DbfHeader::kFixedSize;
  for (const Field& f : h.fields) {
    std::memcpy(&b[at], f.name.data(), std::min<std::size_t>(f.name.size(), 10));
    b[at + 11] = f.type;
    b[at + 16] = static_cast<char>(f.width);
    b[at + 17] = static_cast<char>(f.decimals);
    at += DbfHeader::kDescriptorSize;
  }
  b[at] = '\x0D';
  return b;
}

std::array<char, 7> headerStamp(Date lastUpdate, std::uint32_t count) {
  std::array<char, 7> s{};
  if (!lastUpdate.empty()) {
    s[0] = static_cast<char>(std::clamp(lastUpdate.year() - 1900, 0, 255));
    s[1] = static_cast<char>(lastUpdate.month());
    s[2] = static_cast<char>(lastUpdate.day());
  }
  put32(&s[3], count);
  return s;
}

}  // namespace blend
