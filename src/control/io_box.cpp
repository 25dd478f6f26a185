#include "io_box.h"

#include "control/indicator_link.h"
#include "data/number_text.h"
#include "data/value_helpers.h"

namespace blend {

int ioBoxAddress(const Settings& settings) {
  return static_cast<int>(VAL(settings.CIPORT)) & 0xFF;
}

std::string ioRequest(int address, std::string_view outputImage) {
  std::string image(outputImage.substr(0, 16));
  if (image.size() < 16) image.insert(0, 16 - image.size(), '0');
  return {STX,
          static_cast<char>(address),
          'W',
          static_cast<char>(BIN2DEC(image.substr(8, 8))),  // outputs 8 .. 1
          static_cast<char>(BIN2DEC(image.substr(0, 8))),  // outputs 16 .. 9
          ETX};
}

std::optional<std::string> ioReplyInputs(std::string_view reply) {
  if (reply.size() < 7 || reply[0] != STX || reply[2] != 'W' || reply[6] != ETX)
    return std::nullopt;
  return DEC2BIN(static_cast<unsigned char>(reply[5]));
}

bool IOCONTROL(PlantBus& bus, std::string_view mode, int output, int value, bool show) {
  bus.POUTPUT.resize(16, '0');
  if (mode == "W") {
    if (output >= 1 && output <= 16) bus.POUTPUT[16 - output] = value != 0 ? '1' : '0';
  } else if (mode == "C") {
    bus.POUTPUT.assign(16, '0');
  }

  bus.port.write(ioRequest(ioBoxAddress(bus.context.settings), bus.POUTPUT));
  bus.port.errorStatus();
  const std::string reply =
      collectReply(bus, kIoBoxIdleLimit, [](std::string_view r) { return r.size() >= 7; });

  const auto inputs = ioReplyInputs(reply);
  if (inputs) bus.PINPUT = *inputs;
  if (show) {
    bus.CLINK.resize(9, '-');
    bus.CLINK[0] = inputs ? '-' : '0';
    if (bus.showLink) bus.showLink();
  }
  return inputs.has_value();
}

}  // namespace blend
