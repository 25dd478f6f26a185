#include "options.h"

#include <charconv>
#include <cmath>

#include "data/ini_file.h"
#include "data/number_text.h"

namespace plantsim {
namespace {

std::optional<double> number(std::string_view text) {
  double value = 0;
  if (text.empty()) return std::nullopt;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::optional<int> integer(std::string_view text) {
  int value = 0;
  if (text.empty()) return std::nullopt;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<std::array<double, 3>> triple(std::string_view text) {
  std::array<double, 3> values{};
  for (int i = 0; i < 3; ++i) {
    const std::size_t comma = text.find(',');
    if ((i < 2) != (comma != std::string_view::npos)) return std::nullopt;
    const auto v = number(text.substr(0, comma));
    if (!v || *v < 0) return std::nullopt;
    values[i] = *v;
    if (comma != std::string_view::npos) text.remove_prefix(comma + 1);
  }
  return values;
}

// "N:rest" with N a bin 1 to 8.
std::optional<std::pair<int, std::string_view>> binPrefix(std::string_view text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const auto bin = integer(text.substr(0, colon));
  if (!bin || *bin < 1 || *bin > 8) return std::nullopt;
  return std::pair{*bin, text.substr(colon + 1)};
}

// "ADDR" or "ADDR:VALUE" with the address 0 to 255.
std::optional<std::pair<int, std::optional<double>>> addressWith(std::string_view text) {
  const std::size_t colon = text.find(':');
  const auto address = integer(text.substr(0, colon));
  if (!address || *address < 0 || *address > 255) return std::nullopt;
  if (colon == std::string_view::npos) return std::pair{*address, std::optional<double>{}};
  const auto value = number(text.substr(colon + 1));
  if (!value || *value < 0) return std::nullopt;
  return std::pair{*address, value};
}

}  // namespace

std::string usage() {
  return R"(Usage: plantsim [options]

Simulates the blending plant's serial bus on a pseudo-terminal: eight weighing indicators that
feed, settle and discharge their hoppers, the I/O box with the mixer, its gate and the bag
input, the label printer and the remote display. Prints the terminal's device path as the first
line of standard output and runs until interrupted (Ctrl-C or SIGTERM). Point the station at it
with BLENDCTL_COM<n>=<device>, n being the port number in the station's Comm/Scale setting.

Bus layout
  --ini FILE            bus addresses (Comm/RawMat, I/O_Box, Barcode, Remote), the scale
                        divisor (Misc/IndDec) and line settings (Comm/Scale) from the station's
                        MAIN.INI; the file is only read. Without it the station's defaults hold:
                        indicators 1 to 8, I/O box 14, label printer 12, display 11, 10 counts/kg.
  --link PATH           also make PATH a symbolic link to the terminal (removed on exit)

Output
  --log FILE            append every frame received (RX) and sent (TX) in hex, and what the
                        devices did, each line with the time of day
  --printer FILE        append what the label printer receives (default plant-printer.out)
  --display FILE        append what the remote display receives (default plant-display.out)

Hoppers (weights in kg, rates in kg/s, times in s; B,F,S = big, fast, final speed)
  --rate B,F,S          feed rates of every bin (default 40,10,2)
  --rate-bin N:B,F,S    feed rates of bin N
  --inflight B,F,S      material still falling after each cut-off (default 6,1.5,0.3)
  --inflight-bin N:B,F,S
  --fall SECONDS        time the falling material takes to land (default 0.5)
  --discharge KG/S      discharge rate (default 80)
  --contents N:KG       bin N's hopper holds KG at the start (default 0)
  --noise KG            random noise of every reading, plus or minus (default 0)
  --swing KG            swing of the reading when the material stops moving (default 0.5)
  --settle SECONDS      time constant in which that swing dies away (default 0.3)

Mixer
  --bag-delay SECONDS   the bag input (input 4) comes on this long after the gate closed
                        (default 5; a bag is in place at the start)

Faults (ADDR is a bus address: an indicator's digit, or the I/O box's number)
  --silent ADDR[:P]     the device neither acts nor answers (with chance P, default 1)
  --late ADDR:SECONDS   the device's replies come this much late
  --garble ADDR[:P]     its replies come with a wrong first byte and weight
  --short ADDR[:P]      its replies lose the byte before their end mark
  --pace                hold every exchange back for the time its bytes take on the line at
                        the configured baud rate (10 bits a byte at 9600 baud: about 1 ms)
  --seed N              seed of the noise and of the fault chances (default 1)

  --help                this text
)";
}

std::variant<Options, std::string> parseOptions(const std::vector<std::string>& args) {
  Options o;
  std::array<std::optional<std::array<double, 3>>, 8> rateBin, inflightBin;
  std::optional<std::array<double, 3>> rate, inflight;
  std::optional<double> fall, discharge, swing, settle;

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& name = args[i];
    if (name == "--help" || name == "-h") {
      o.help = true;
      continue;
    }
    if (name == "--pace") {
      o.pace = true;
      continue;
    }
    if (i + 1 >= args.size())
      return name.starts_with("--") ? name + " needs a value" : "unknown argument " + name;
    const std::string& value = args[++i];
    const auto bad = [&] { return "bad value for " + name + ": " + value; };

    if (name == "--ini") {
      o.ini = value;
    } else if (name == "--link") {
      o.link = value;
    } else if (name == "--log") {
      o.log = value;
    } else if (name == "--printer") {
      o.printer = value;
    } else if (name == "--display") {
      o.display = value;
    } else if (name == "--rate" || name == "--inflight") {
      const auto t = triple(value);
      if (!t) return bad();
      (name == "--rate" ? rate : inflight) = t;
    } else if (name == "--rate-bin" || name == "--inflight-bin") {
      const auto b = binPrefix(value);
      const auto t = b ? triple(b->second) : std::nullopt;
      if (!t) return bad();
      (name == "--rate-bin" ? rateBin : inflightBin)[b->first - 1] = t;
    } else if (name == "--contents") {
      const auto b = binPrefix(value);
      const auto kg = b ? number(b->second) : std::nullopt;
      if (!kg || *kg < 0) return bad();
      o.plant.contents[b->first - 1] = *kg;
    } else if (name == "--fall" || name == "--discharge" || name == "--swing" ||
               name == "--settle" || name == "--noise" || name == "--bag-delay") {
      const auto v = number(value);
      if (!v || *v < 0) return bad();
      if (name == "--fall") fall = v;
      if (name == "--discharge") discharge = v;
      if (name == "--swing") swing = v;
      if (name == "--settle") settle = v;
      if (name == "--noise") o.plant.noise = *v;
      if (name == "--bag-delay") o.plant.bagDelay = *v;
    } else if (name == "--silent" || name == "--garble" || name == "--short") {
      const auto a = addressWith(value);
      if (!a || a->second.value_or(1) > 1) return bad();
      Fault& f = o.bus.faults[a->first];
      (name == "--silent"   ? f.silent
       : name == "--garble" ? f.garble
                            : f.shorten) = a->second.value_or(1);
    } else if (name == "--late") {
      const auto a = addressWith(value);
      if (!a || !a->second) return bad();
      o.bus.faults[a->first].late = *a->second;
    } else if (name == "--seed") {
      const auto v = integer(value);
      if (!v || *v < 0) return bad();
      o.seed = static_cast<unsigned>(*v);
    } else {
      return "unknown option " + name;
    }
  }

  for (int bin = 0; bin < 8; ++bin) {
    HopperParams& p = o.plant.hoppers[bin];
    if (rateBin[bin])
      p.rate = *rateBin[bin];
    else if (rate)
      p.rate = *rate;
    if (inflightBin[bin])
      p.inflight = *inflightBin[bin];
    else if (inflight)
      p.inflight = *inflight;
    if (fall) p.fallTime = *fall;
    if (discharge) p.dischargeRate = *discharge;
    if (swing) p.swing = *swing;
    if (settle) p.settleTime = *settle;
  }
  return o;
}

blend::Settings defaultSettings() {
  blend::Settings s;
  for (const blend::SettingsKey& key : blend::settingsKeys()) {
    const std::string text = blend::defaultText(key);
    if (const auto* field = std::get_if<std::string blend::Settings::*>(&key.member))
      s.*(*field) = text;
    else
      s.*std::get<double blend::Settings::*>(key.member) = blend::VAL(text);
  }
  return s;
}

std::optional<blend::Settings> readSettings(const std::filesystem::path& ini) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(ini, ec)) return std::nullopt;
  // IniFile only reads until save() is called, which this never does: the station owns the
  // file and completes it itself.
  const blend::IniFile file(ini);
  blend::Settings s = defaultSettings();
  for (const blend::SettingsKey& key : blend::settingsKeys()) {
    const auto text = file.value(key.section, key.key);
    if (!text) continue;
    if (const auto* field = std::get_if<std::string blend::Settings::*>(&key.member))
      s.*(*field) = *text;
    else
      s.*std::get<double blend::Settings::*>(key.member) = blend::VAL(*text);
  }
  return s;
}

void applySettings(Options& options, const blend::Settings& settings) {
  PlantConfig& plant = options.plant;
  for (int bin = 0; bin < 8; ++bin) {
    const char c = bin < static_cast<int>(settings.CMPORT.size()) ? settings.CMPORT[bin] : '0';
    plant.indicator[bin] = c >= '1' && c <= '9' ? c - '0' : 0;
  }
  plant.ioBox = static_cast<int>(blend::VAL(settings.CIPORT)) & 0xFF;
  plant.printer = static_cast<int>(blend::VAL(settings.CPPORT)) & 0xFF;
  plant.display = static_cast<int>(blend::VAL(settings.CREMOTE)) & 0xFF;
  const double divisor = blend::VAL(settings.CDFIX);
  plant.countsPerKg = divisor > 0 ? divisor : 1;
  // Still means within half a count.
  for (HopperParams& p : plant.hoppers) p.stableBand = 0.5 / plant.countsPerKg;

  // "1:9600,N,8,1": one start bit, the data bits, a parity bit unless N, the stop bits.
  std::string_view line = settings.CCPORT;
  const std::size_t colon = line.find(':');
  line.remove_prefix(colon == std::string_view::npos ? 0 : colon + 1);
  double baud = blend::VAL(line);
  int bits = 10;
  const std::size_t p1 = line.find(',');
  if (p1 != std::string_view::npos && p1 + 1 < line.size()) {
    const char parity = line[p1 + 1] & ~0x20;
    const std::size_t p2 = line.find(',', p1 + 1);
    const double data = p2 == std::string_view::npos ? 8 : blend::VAL(line.substr(p2 + 1));
    const std::size_t p3 = p2 == std::string_view::npos ? p2 : line.find(',', p2 + 1);
    const double stop = p3 == std::string_view::npos ? 1 : blend::VAL(line.substr(p3 + 1));
    bits = 1 + static_cast<int>(data > 0 ? data : 8) + (parity == 'N' ? 0 : 1) +
           static_cast<int>(stop > 0 ? stop : 1);
  }
  if (baud <= 0) baud = 9600;
  options.bus.byteTime = options.pace ? bits / baud : 0;
}

}  // namespace plantsim
