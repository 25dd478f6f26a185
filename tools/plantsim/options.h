#pragma once
// plantsim's command line and the MAIN.INI settings it takes its bus layout from.

#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "bus.h"
#include "data/settings.h"
#include "plant.h"

namespace plantsim {

struct Options {
  std::optional<std::string> ini;
  std::optional<std::string> link;
  std::optional<std::string> log;
  std::string printer = "plant-printer.out";
  std::string display = "plant-display.out";
  PlantConfig plant;
  BusConfig bus;
  bool pace = false;
  unsigned seed = 1;
  bool help = false;
};

std::string usage();

// The options of a command line (without the program name), or what is wrong with it.
std::variant<Options, std::string> parseOptions(const std::vector<std::string>& args);

// The settings in a MAIN.INI, read without touching the file; keys it lacks take the station's
// defaults. Nothing when the file does not exist.
std::optional<blend::Settings> readSettings(const std::filesystem::path& ini);
blend::Settings defaultSettings();

// Takes the bus addresses (CMPORT, CIPORT, CPPORT, CREMOTE), the scale divisor (CDFIX) and the
// line speed (CCPORT, for --pace) from the settings.
void applySettings(Options& options, const blend::Settings& settings);

}  // namespace plantsim
