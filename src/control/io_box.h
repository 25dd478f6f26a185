#pragma once
// The I/O box: 16 outputs and 8 inputs on the plant bus. Every request carries the whole output
// image; every reply carries the input image.
//
// Request (6 bytes): STX, the address from CIPORT as a raw byte, "W", outputs 1 to 8 (output 1
// is bit 0), outputs 9 to 16 (output 9 is bit 0), ETX.
// Reply: STX first, "W" third, the input image sixth (input 1 is bit 0), ETX seventh; anything
// else in it, and anything after it, is not looked at.
//
// The sequencer uses output 1 (plant control active), 2 (mixer), 3 (mixer gate), 4 (end of
// batch) and input 4 (a bag is in place).

#include <optional>
#include <string>
#include <string_view>

#include "control/plant_bus.h"

namespace blend {

// The idle limit of an I/O box reply, seconds.
constexpr double kIoBoxIdleLimit = 1.0;

// The bus address of the I/O box: the numeric value of CIPORT.
int ioBoxAddress(const Settings& settings);

// The request frame for an output image text (16 characters, output 16 first).
std::string ioRequest(int address, std::string_view outputImage);

// The input image text (8 characters, input 8 first) of a valid reply; nothing otherwise.
std::optional<std::string> ioReplyInputs(std::string_view reply);

// Mode "W" sets output `output` (1 to 16) to `value` (0 or 1); "C" switches every output off;
// any other mode leaves the image as it is and only reads the inputs. The change stays in
// POUTPUT even when the exchange then fails, so the next frame repeats it. True when a valid
// reply came, which sets PINPUT; with show, "-" or "0" at character 1 of CLINK.
bool IOCONTROL(PlantBus& bus, std::string_view mode, int output = 0, int value = 0,
               bool show = false);

}  // namespace blend
