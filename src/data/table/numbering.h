#pragma once
// The station's identifiers: the ten-digit document number from the counter all stations share
// (CONSEC record 1), and the 24-character identifiers of documents (INDENT) and order lines
// (INDENT2): date, time of day and a random part, tested for uniqueness against the tables they key.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "data/context.h"

namespace blend {

class Workspace;

// Pseudo-random integers 0 to 65535; the station's own comes from a seeded engine, tests give
// theirs.
using RandomWords = std::function<std::uint16_t()>;
RandomWords stationRandom();

// Mode "R": the counter as ten digits. Mode "W": the same, and the counter becomes number + 1
// (counter + 1 when number is 0). "0000000000" when CONSEC stays busy for 10 s. WDATA, when
// open, is the current table afterwards.
std::string CONSEC(Context& context, Workspace& tables, char mode, double number = 0);

// YYYYMMDD HHMMSS and the first ten digits of the product of three random words, filled with
// blanks on the right.
std::string makeIdentifier(Clock& clock, const RandomWords& random);

// A document identifier no order line of DETAIL carries yet; WDATA current afterwards. DETAIL
// and WDATA are open in `tables`.
std::string INDENT(Context& context, Workspace& tables, const RandomWords& random);

// An order-line identifier no batch of the document carries yet; DETAIL current afterwards.
// BATCHING and DETAIL are open in `tables`.
std::string INDENT2(Context& context, Workspace& tables, std::string_view document,
                    const RandomWords& random);

}  // namespace blend
