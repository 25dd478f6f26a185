#pragma once
// The weighing indicators: one per hopper, each feeding its hopper itself against three cut-off
// weights that the station loads into it. HP_COMM sends one command and reads the reply, which
// always carries the hopper's gross weight.
//
// Request frames: STX, the address as a raw byte (1 to 9), the command letter, its fields,
// CR LF.
//   0 read               "R" "!"                                    6 bytes
//   1 set points         "G" F1 F2 F3 F4 (5 digits each), checksum  26 bytes
//   5 discharge request  "F" 0xFE                                   6 bytes
//   6 discharge output   "O" "00001000" ("10000000" on HP04 models) 13 bytes
//   7 zero               "Z"                                        5 bytes
// F1 is the final, F2 the fast, F3 the big cut-off weight, F4 always 0; all zero clears the set
// points. The checksum is the sum of the bytes from STX to the last digit of F4, modulo 256, as
// one raw byte: it may well be CR or LF, so frames are never cut at a line end by their content.
//
// Replies: at least 26 bytes, STX first, CR LF last, the gross weight in counts as text in bytes
// 3 to 10; the rest is the indicator's own business.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "control/plant_bus.h"
#include "data/settings.h"

namespace blend {

constexpr char STX = 0x02;
constexpr char ETX = 0x03;
constexpr char CR = 0x0D;
constexpr char LF = 0x0A;

// The idle limit of an indicator reply, seconds.
constexpr double kIndicatorIdleLimit = 2.0;

// The bus address of hopper n's indicator (character n of CMPORT, one digit 1 to 9); 0 when
// the hopper has none.
int indicatorAddress(const Settings& settings, int hopper);

// Indicator counts per kilogram: the numeric value of CDFIX.
double countsPerKilogram(const Settings& settings);

// A cut-off weight as a set-point field: kilograms times counts per kilogram, rounded half away
// from zero, a negative result as 0, the last five digits with leading zeros.
std::string setPointField(double kilograms, double countsPerKg);

// The request frame of command 0, 1, 5, 6 or 7; empty for any other command.
std::string indicatorRequest(int address, int command, const std::array<double, 4>& fields,
                             double countsPerKg, std::string_view model);

// A reply is complete once it ends in CR LF.
bool indicatorReplyEnded(std::string_view bytes);

// The gross weight of a valid reply, in counts; nothing for a reply that is not valid.
std::optional<double> indicatorReplyCounts(std::string_view reply);

// Sends one command to hopper n's indicator (n 1 to 8) and reads its reply; true when a valid
// reply came. f1 to f4 are kilograms, used by command 1 only. A valid reply sets CMACTUAL[n-1];
// with show it also puts "-" at character n+1 of CLINK and refreshes the displays, and a failure
// puts the digit n there. A hopper without an indicator sends nothing and changes nothing.
bool HP_COMM(PlantBus& bus, int n, int command, double f1 = 0, double f2 = 0, double f3 = 0,
             double f4 = 0, bool show = true);

}  // namespace blend
