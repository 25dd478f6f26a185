#pragma once
// The header of a dBase III table file: the fixed 32 bytes, one 32-byte descriptor per field and
// the 0x0D that ends them; then count x record length bytes of records and a closing 0x1A.
//
// What this engine writes is what independent tools read: version byte 0x03, language driver
// 0x7C (code page 874), header length 32 x fields + 33, bytes 30-31 zero; bytes 20-27 hold the
// stations' change mark (see kChangeMarkOffset). When reading it is
// lenient where a foreign writer may differ harmlessly (a padding byte after the terminator,
// language driver 0x50 or none) and refuses anything it would misread.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/date.h"

namespace blend {

// A field as a table's creator describes it. Types: 'C' character, 'N' numeric, 'D' date; a
// table from elsewhere may also hold 'L' (logical) and 'F' (a numeric by another name).
struct FieldDef {
  std::string name;
  char type = 'C';
  int width = 0;
  int decimals = 0;

  friend bool operator==(const FieldDef&, const FieldDef&) = default;
};

// A field in an open table: where its bytes start in the record (byte 0 is the deletion mark).
struct Field : FieldDef {
  int offset = 0;
};

struct DbfHeader {
  static constexpr std::uint8_t kVersion = 0x03;
  static constexpr std::uint8_t kLanguageThai = 0x7C;
  static constexpr std::size_t kFixedSize = 32;
  static constexpr std::size_t kDescriptorSize = 32;

  std::uint8_t version = kVersion;
  Date lastUpdate;
  std::uint32_t count = 0;
  std::uint16_t headerLength = 0;
  std::uint16_t recordLength = 0;
  std::uint8_t languageDriver = kLanguageThai;
  std::vector<Field> fields;
};

// Checks a creator's field list and lays it out: names of 1 to 10 letters, digits and "_"
// beginning with a letter, unique without regard to case (stored upper case); C 1 to 254 wide;
// N 1 to 20 wide with no decimals or up to width - 2 of them (room for the point and a digit);
// D 8 wide. On failure `why` says what is wrong and header is untouched.
bool layoutFields(const std::vector<FieldDef>& defs, DbfHeader& header, std::string& why);

// The header length stated in the fixed part (bytes 8-9) of a file's first 32 bytes.
std::uint16_t statedHeaderLength(std::string_view fixedPart);

// Reads a whole header (at least statedHeaderLength bytes). False with `why` for a file this
// engine must not use: another version, a memo table, a code page other than Thai, a header
// length that does not fit its fields, an unknown field type, widths that do not add up.
bool parseDbfHeader(std::string_view bytes, DbfHeader& header, std::string& why);

// The header bytes for header (headerLength and recordLength as laid out).
std::string serializeDbfHeader(const DbfHeader& header);

// Bytes 1-7 of the header: the date of the last update and the record count, which every
// append rewrites.
std::array<char, 7> headerStamp(Date lastUpdate, std::uint32_t count);
constexpr std::size_t kStampOffset = 1;
constexpr std::size_t kCountOffset = 4;

// Bytes 20-27, which dBase III leaves to its multi-user versions and which other readers and
// writers pass over: the change mark. A station that has the table open shared and writes a
// record puts a value there that no station has put there before, after the record; a station
// keeping records in memory uses them only while the mark (and the count) stay as they were when
// it read them. Creation writes zeros, and nothing is read from the mark when a table is opened,
// so a file from another program needs none. (Another program writing records while stations
// have the table open changes no mark: they see its appends, by the count, but not its changes
// to records they hold in memory.)
constexpr std::size_t kChangeMarkOffset = 20;

}  // namespace blend
