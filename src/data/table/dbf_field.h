#pragma once
// A field's bytes in a record and the value they hold.
//
// Character fields read as exactly their width, trailing blanks included; numeric fields as a
// Number that remembers the field's decimals; date fields as a Date (eight blanks: the empty
// date). Writing cuts or fills text with blanks, rounds numbers half away from zero to the
// field's decimals and writes dates as YYYYMMDD.

#include <string_view>

#include "data/value.h"
#include "dbf_header.h"

namespace blend {

Value decodeField(const Field& field, std::string_view bytes);

enum class Encoded {
  Ok,
  WrongType,  // the value is not of the field's type; nothing written
  TooWide,    // the number needs more digits than the field holds; nothing written
};

// Writes value into the field's `field.width` bytes at out. A number that does not fit is
// refused rather than stored as asterisks: asterisks read back as 0, so storing them would turn
// an error the operator can see now into a wrong figure found later.
Encoded encodeField(const Field& field, const Value& value, char* out);

}  // namespace blend
