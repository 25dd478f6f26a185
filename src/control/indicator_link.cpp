#include "indicator_link.h"

#include <cmath>

#include "data/number_text.h"
#include "data/value_helpers.h"

namespace blend {

int indicatorAddress(const Settings& settings, int hopper) {
  if (hopper < 1 || hopper > static_cast<int>(settings.CMPORT.size())) return 0;
  const char c = settings.CMPORT[hopper - 1];
  return c >= '1' && c <= '9' ? c - '0' : 0;
}

double countsPerKilogram(const Settings& settings) {
  return VAL(settings.CDFIX);
}

std::string setPointField(double kilograms, double countsPerKg) {
  double counts = roundHalfAway(kilograms * countsPerKg, 0);
  if (!(counts > 0)) counts = 0;  // negatives, and nonsense such as NaN
  return ZERO(counts, 5);
}

std::string indicatorRequest(int address, int command, const std::array<double, 4>& fields,
                             double countsPerKg, std::string_view model) {
  std::string frame{STX, static_cast<char>(address)};
  switch (command) {
    case 0:
      frame += "R!";
      break;
    case 1: {
      frame += 'G';
      for (double f : fields) frame += setPointField(f, countsPerKg);
      unsigned sum = 0;
      for (char c : frame) sum += static_cast<unsigned char>(c);
      frame += static_cast<char>(sum % 256);
      break;
    }
    case 5:
      frame += 'F';
      frame += static_cast<char>(0xFE);
      break;
    case 6:
      frame += 'O';
      frame += model.starts_with("HP04") ? "10000000" : "00001000";
      break;
    case 7:
      frame += 'Z';
      break;
    default:
      return {};
  }
  frame += CR;
  frame += LF;
  return frame;
}

bool indicatorReplyEnded(std::string_view bytes) {
  return bytes.ends_with("\r\n");
}

std::optional<double> indicatorReplyCounts(std::string_view reply) {
  if (reply.size() < 26 || reply[0] != STX || !indicatorReplyEnded(reply)) return std::nullopt;
  return VAL(reply.substr(2, 8));
}

bool HP_COMM(PlantBus& bus, int n, int command, double f1, double f2, double f3, double f4,
             bool show) {
  const Settings& settings = bus.context.settings;
  const int address = indicatorAddress(settings, n);
  if (address == 0 || n > 8) return false;
  const double perKg = countsPerKilogram(settings);
  const std::string request =
      indicatorRequest(address, command, {f1, f2, f3, f4}, perKg, settings.CINDIC);
  if (request.empty()) return false;

  bus.port.write(request);
  bus.port.errorStatus();
  const std::string reply = collectReply(bus, kIndicatorIdleLimit, indicatorReplyEnded);

  const auto counts = indicatorReplyCounts(reply);
  if (counts) {
    // A divisor of 0 is a division by zero, which the station answers with 0.
    bus.CMACTUAL[n - 1] = perKg == 0 ? 0 : *counts / perKg;
    if (show) {
      bus.CLINK.resize(9, '-');
      bus.CLINK[n] = '-';
      if (bus.showWeight) bus.showWeight(n);
      if (bus.showLink) bus.showLink();
    }
    return true;
  }
  if (show) {
    bus.CLINK.resize(9, '-');
    bus.CLINK[n] = static_cast<char>('0' + n);
    if (bus.showLink) bus.showLink();
  }
  return false;
}

}  // namespace blend
