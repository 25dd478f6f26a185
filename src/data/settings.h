#pragma once
// The station's configuration record, read from MAIN.INI at start-up.
//
// Field names are the configuration names every subsystem uses (CINDIC, DBIG1, CDRV1, ...). Text
// fields hold CP874 bytes exactly as read; the few fields held as numbers are converted once
// when the file is loaded. The record lives in the data layer because every subsystem reads it.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace blend {

// A screen or print font as the settings describe it; the ui layer makes a real font of it.
struct FontSpec {
  std::string face;  // CP874
  double width = 0;
  double height = 0;  // negative: character height in pixels
};

struct Settings {
  // [Data]
  std::string CHLINE, CHADDR1, CHADDR2, CHADDR3, CHTAXID, CSERIAL, CHBRANCH;
  // [Path]
  std::string CDRV1, CDRV2, CDRV3, CDRV4;
  // [Font]
  std::string CFONT0, CWIDTH0, CHEIGHT0, CFONT1, CWIDTH1, CHEIGHT1, CFONT2, CWIDTH2, CHEIGHT2;
  std::string CFONT3, CWIDTH3, CHEIGHT3, CFONT4, CWIDTH4, CHEIGHT4, CFONT5, CWIDTH5, CHEIGHT5;
  std::string CFONT6, CWIDTH6, CHEIGHT6;
  std::string CPEN1, CPEN2, CPEN3;
  double NFONTRATIO = 1;
  // [Comm]
  std::string CCPORT, CMPORT, CIPORT, CPPORT, CREMOTE, CTIMER, CUSENET, CUSEIO, CBARTYPE;
  // [Misc]
  std::string CINDIC, CMIXTYPE, CPAGEL, CPLENGHT, CPREVIEW, CAUTOC;
  double CWLIMIT = 0, CSTILLW = 0, CDISTIME = 0, CBACKLOOP = 0, CDEC = 0;
  std::string CDFIX, CRECALL, CFORMAT, CMIXALONE, CENDBAT, CBAG;
  std::string CCOLORR, CCOLORG, CCOLORB, CQRCODE, CBARDATA, CRMTDATA;
  // [Setpoint]
  double DBIG1 = 0, DBIG2 = 0, DBIG3 = 0, DBIG4 = 0, DBIG5 = 0, DBIG6 = 0, DBIG7 = 0, DBIG8 = 0;
  double DFAST1 = 0, DFAST2 = 0, DFAST3 = 0, DFAST4 = 0, DFAST5 = 0, DFAST6 = 0, DFAST7 = 0,
         DFAST8 = 0;
  double DSLOW1 = 0, DSLOW2 = 0, DSLOW3 = 0, DSLOW4 = 0, DSLOW5 = 0, DSLOW6 = 0, DSLOW7 = 0,
         DSLOW8 = 0;
  std::string NAUTOSTP;
  // [Name]
  std::string CRNAME1, CRNAME2, CRNAME3;
  // [Formula]
  std::string NPK_V, PER_V, UREA_V, DAP_V, MOP_V, FIL_V, AM_V, CFLOCK;
  std::string DRAW1, DRAW2, DRAW3, DRAW4, DRAW5, DRAW6, DRAW7, DRAW8;
  // [Link]
  std::string CIP, CHOST, CDSIZE, CALINK;

  // Derived at start-up.
  std::string VARFILE;  // the configuration file's path, in the platform's own encoding
  std::uint32_t CCOLOR = 0;  // red + 256 * green + 65536 * blue
  FontSpec OFONT0;

  // Set by the login; empty while nobody is logged in.
  std::string CUSER, CLOGIN, CTRUSTEE;

  // Per bin (1 to 8) views of the numbered fields.
  double& bigDefault(int bin);
  double& fastDefault(int bin);
  double& slowDefault(int bin);
  std::string& drawCode(int bin);
};

// One key of MAIN.INI and the field it fills.
struct SettingsKey {
  const char* section;
  const char* key;
  const char* defaultUtf8;  // converted to CP874 when used
  const char* field;
  std::variant<std::string Settings::*, double Settings::*> member;
  bool isRatio = false;  // NFONTRATIO: never below 1
};

// Every key in the order it is read (and so appended to a new file).
std::span<const SettingsKey> settingsKeys();

// A field by its configuration name, without regard to case ("cSerial" finds CSERIAL), for the
// stored expressions that name settings.
const SettingsKey* findSettingsField(std::string_view name);

// The default text of a key, in CP874.
std::string defaultText(const SettingsKey& key);

// Reads every key with completion: a missing key, or one equal to its default, is written back
// with the default; empty values stay empty; values are cut at 1022 bytes. Creates the file when
// it is missing (and the folder allows); a failed write is ignored. Converts the numeric fields,
// computes CCOLOR and OFONT0, and clears the login fields. `argument` is the command-line path;
// without one ".\MAIN.INI" is used.
Settings loadSettings(std::optional<std::string> argument);

// Reads the file's keys with their defaults, converted as at start-up, without completing or
// writing anything: for tools that look at an installation.
Settings readSettings(const std::filesystem::path& file);

// Writes the user-editable keys to VARFILE in their fixed order and forms. False when the file
// could not be written; the caller carries on regardless.
bool SAVEINI(const Settings& settings);

// The native path of the configuration file named by VARFILE.
std::filesystem::path configFilePath(const Settings& settings);

}  // namespace blend
