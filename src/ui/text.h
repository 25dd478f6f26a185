#pragma once
// The codec at the screen boundary: data is CP874 bytes, the screen is QString.

#include <QString>
#include <string>
#include <string_view>

#include "data/cp874.h"

namespace blend {

inline QString fromCp874(std::string_view bytes) {
  return QString::fromStdString(cp874ToUtf8(bytes));
}

inline std::string toCp874(const QString& text) { return utf8ToCp874(text.toStdString()); }

inline QString fromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace blend
