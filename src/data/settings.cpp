#include "settings.h"

#include <algorithm>
#include <array>

#include "cp874.h"
#include "ini_file.h"
#include "number_text.h"
#include "paths.h"
#include "text_util.h"

namespace blend {
namespace {

// The values shipped for a new installation. [Data] and [Link] describe no real plant: an
// installer replaces them.
const SettingsKey kKeys[] = {
    {"Data", "Name", "โรงงานผสมปุ๋ยตัวอย่าง", "CHLINE", &Settings::CHLINE},
    {"Data", "Address1", "เลขที่ 1 ถนนสายหลัก", "CHADDR1", &Settings::CHADDR1},
    {"Data", "Address2", "ตำบลในเมือง อำเภอเมือง", "CHADDR2", &Settings::CHADDR2},
    {"Data", "Address3", "จังหวัดตัวอย่าง 10000", "CHADDR3", &Settings::CHADDR3},
    {"Data", "Tax ID", "0000000000000", "CHTAXID", &Settings::CHTAXID},
    {"Data", "S/N", "0001", "CSERIAL", &Settings::CSERIAL},
    {"Data", "Branch", "000", "CHBRANCH", &Settings::CHBRANCH},
    {"Path", "Table", ".\\", "CDRV1", &Settings::CDRV1},
    {"Path", "Exe", ".\\", "CDRV2", &Settings::CDRV2},
    {"Path", "BackUp", "D:\\", "CDRV3", &Settings::CDRV3},
    {"Path", "Work", ".\\WORK\\", "CDRV4", &Settings::CDRV4},
    {"Font", "Font0", "MS Sans Serif", "CFONT0", &Settings::CFONT0},
    {"Font", "Width0", "0", "CWIDTH0", &Settings::CWIDTH0},
    {"Font", "Height0", "-25", "CHEIGHT0", &Settings::CHEIGHT0},
    {"Font", "Font1", "EucrosiaUPC", "CFONT1", &Settings::CFONT1},
    {"Font", "Width1", "0", "CWIDTH1", &Settings::CWIDTH1},
    {"Font", "Height1", "-10", "CHEIGHT1", &Settings::CHEIGHT1},
    {"Font", "Font2", "EucrosiaUPC", "CFONT2", &Settings::CFONT2},
    {"Font", "Width2", "0", "CWIDTH2", &Settings::CWIDTH2},
    {"Font", "Height2", "-10", "CHEIGHT2", &Settings::CHEIGHT2},
    {"Font", "Font3", "EucrosiaUPC", "CFONT3", &Settings::CFONT3},
    {"Font", "Width3", "0", "CWIDTH3", &Settings::CWIDTH3},
    {"Font", "Height3", "-10", "CHEIGHT3", &Settings::CHEIGHT3},
    {"Font", "Font4", "EucrosiaUPC", "CFONT4", &Settings::CFONT4},
    {"Font", "Width4", "8", "CWIDTH4", &Settings::CWIDTH4},
    {"Font", "Height4", "30", "CHEIGHT4", &Settings::CHEIGHT4},
    {"Font", "Font5", "EucrosiaUPC", "CFONT5", &Settings::CFONT5},
    {"Font", "Width5", "16", "CWIDTH5", &Settings::CWIDTH5},
    {"Font", "Height5", "50", "CHEIGHT5", &Settings::CHEIGHT5},
    {"Font", "Font6", "EucrosiaUPC", "CFONT6", &Settings::CFONT6},
    {"Font", "Width6", "24", "CWIDTH6", &Settings::CWIDTH6},
    {"Font", "Height6", "80", "CHEIGHT6", &Settings::CHEIGHT6},
    {"Font", "Pen1", "1", "CPEN1", &Settings::CPEN1},
    {"Font", "Pen2", "3", "CPEN2", &Settings::CPEN2},
    {"Font", "Pen3", "6", "CPEN3", &Settings::CPEN3},
    {"Font", "Ratio", "1", "NFONTRATIO", &Settings::NFONTRATIO, true},
    {"Comm", "Scale", "1:9600,N,8,1", "CCPORT", &Settings::CCPORT},
    {"Comm", "RawMat", "12345678", "CMPORT", &Settings::CMPORT},
    {"Comm", "I/O_Box", "14", "CIPORT", &Settings::CIPORT},
    {"Comm", "Barcode", "12", "CPPORT", &Settings::CPPORT},
    {"Comm", "Remote", "11", "CREMOTE", &Settings::CREMOTE},
    {"Comm", "Timer", "100", "CTIMER", &Settings::CTIMER},
    {"Comm", "InterNet", "1", "CUSENET", &Settings::CUSENET},
    {"Comm", "Control", "1", "CUSEIO", &Settings::CUSEIO},
    {"Comm", "BarType", "Inter", "CBARTYPE", &Settings::CBARTYPE},
    {"Misc", "Indicator", "HP11", "CINDIC", &Settings::CINDIC},
    {"Misc", "MixType", "1", "CMIXTYPE", &Settings::CMIXTYPE},
    {"Misc", "PageL", "60", "CPAGEL", &Settings::CPAGEL},
    {"Misc", "Feed", "5", "CPLENGHT", &Settings::CPLENGHT},
    {"Misc", "Preview", "Y", "CPREVIEW", &Settings::CPREVIEW},
    {"Misc", "AutoComp", "Y", "CAUTOC", &Settings::CAUTOC},
    {"Misc", "W.Limit", "0.5", "CWLIMIT", &Settings::CWLIMIT},
    {"Misc", "W.Still", "1", "CSTILLW", &Settings::CSTILLW},
    {"Misc", "Discharge", "1", "CDISTIME", &Settings::CDISTIME},
    {"Misc", "BackLoop", "0", "CBACKLOOP", &Settings::CBACKLOOP},
    {"Misc", "Decimal", "1", "CDEC", &Settings::CDEC},
    {"Misc", "IndDec", "10", "CDFIX", &Settings::CDFIX},
    {"Misc", "Recall", "0", "CRECALL", &Settings::CRECALL},
    {"Misc", "Format", "999999.9", "CFORMAT", &Settings::CFORMAT},
    {"Misc", "Alone", "1", "CMIXALONE", &Settings::CMIXALONE},
    {"Misc", "EndBatch", "1", "CENDBAT", &Settings::CENDBAT},
    {"Misc", "Bag", "0", "CBAG", &Settings::CBAG},
    {"Misc", "Color_R", "250", "CCOLORR", &Settings::CCOLORR},
    {"Misc", "Color_G", "250", "CCOLORG", &Settings::CCOLORG},
    {"Misc", "Color_B", "255", "CCOLORB", &Settings::CCOLORB},
    {"Misc", "QRCode", "Y", "CQRCODE", &Settings::CQRCODE},
    {"Misc", "Barcode", "alltrim(cSerial)+'|'+alltrim(detail->formula)+'|'+dtos(batching->date)+'|'+batching->time+'|'+alltrim(detail->agg1)+'|'+alltrim(detail->agg2)+'|'+alltrim(detail->agg3)+'|'+alltrim(detail->agg4)+'|'+alltrim(detail->agg5)+'|'+alltrim(detail->agg6)+'|'+alltrim(detail->agg7)+'|'+alltrim(detail->agg8)+'|'+alltrim(str(batching->target1,5,2))+'|'+alltrim(str(batching->target2,5,2))+'|'+alltrim(str(batching->target3,5,2))+'|'+alltrim(str(batching->target4,5,2))+'|'+alltrim(str(batching->target5,5,2))+'|'+alltrim(str(batching->target6,5,2))+'|'+alltrim(str(batching->target7,5,2))+'|'+alltrim(str(batching->target8,5,2))", "CBARDATA", &Settings::CBARDATA},
    {"Misc", "Remote", "chr(2)+str(batching->actual1+batching->actual2+batching->actual3+batching->actual4+batching->actual5+batching->actual6+batching->actual7+batching->actual8,7,2)+str(batching->actual1,7,2)+str(batching->actual2,7,2)+str(batching->actual3,7,2)+str(batching->actual4,7,2)+str(batching->actual5,7,2)+str(batching->actual6,7,2)+str(batching->actual7,7,2)+str(batching->actual8,7,2)+space(3)+batching->item+chr(13)+chr(10)", "CRMTDATA", &Settings::CRMTDATA},
    {"Setpoint", "Big1", "0", "DBIG1", &Settings::DBIG1},
    {"Setpoint", "Big2", "0", "DBIG2", &Settings::DBIG2},
    {"Setpoint", "Big3", "0", "DBIG3", &Settings::DBIG3},
    {"Setpoint", "Big4", "0", "DBIG4", &Settings::DBIG4},
    {"Setpoint", "Big5", "0", "DBIG5", &Settings::DBIG5},
    {"Setpoint", "Big6", "0", "DBIG6", &Settings::DBIG6},
    {"Setpoint", "Big7", "0", "DBIG7", &Settings::DBIG7},
    {"Setpoint", "Big8", "0", "DBIG8", &Settings::DBIG8},
    {"Setpoint", "Fast1", "5", "DFAST1", &Settings::DFAST1},
    {"Setpoint", "Fast2", "5", "DFAST2", &Settings::DFAST2},
    {"Setpoint", "Fast3", "5", "DFAST3", &Settings::DFAST3},
    {"Setpoint", "Fast4", "5", "DFAST4", &Settings::DFAST4},
    {"Setpoint", "Fast5", "5", "DFAST5", &Settings::DFAST5},
    {"Setpoint", "Fast6", "5", "DFAST6", &Settings::DFAST6},
    {"Setpoint", "Fast7", "5", "DFAST7", &Settings::DFAST7},
    {"Setpoint", "Fast8", "5", "DFAST8", &Settings::DFAST8},
    {"Setpoint", "Slow1", "0.1", "DSLOW1", &Settings::DSLOW1},
    {"Setpoint", "Slow2", "0.1", "DSLOW2", &Settings::DSLOW2},
    {"Setpoint", "Slow3", "0.1", "DSLOW3", &Settings::DSLOW3},
    {"Setpoint", "Slow4", "0.1", "DSLOW4", &Settings::DSLOW4},
    {"Setpoint", "Slow5", "0.1", "DSLOW5", &Settings::DSLOW5},
    {"Setpoint", "Slow6", "0.1", "DSLOW6", &Settings::DSLOW6},
    {"Setpoint", "Slow7", "0.1", "DSLOW7", &Settings::DSLOW7},
    {"Setpoint", "Slow8", "0.1", "DSLOW8", &Settings::DSLOW8},
    {"Setpoint", "AutoStep", "0.1", "NAUTOSTP", &Settings::NAUTOSTP},
    {"Name", "Remark1", "หมายเหตุ", "CRNAME1", &Settings::CRNAME1},
    {"Name", "Remark2", "", "CRNAME2", &Settings::CRNAME2},
    {"Name", "Remark3", "", "CRNAME3", &Settings::CRNAME3},
    {"Formula", "N-P-K", "15-15-15", "NPK_V", &Settings::NPK_V},
    {"Formula", "Diff%", "0.2", "PER_V", &Settings::PER_V},
    {"Formula", "UREA", "46-00-00", "UREA_V", &Settings::UREA_V},
    {"Formula", "DAP", "18-46-00", "DAP_V", &Settings::DAP_V},
    {"Formula", "MOP", "00-00-60", "MOP_V", &Settings::MOP_V},
    {"Formula", "FIL", "00-00-00", "FIL_V", &Settings::FIL_V},
    {"Formula", "AM", "21-00-00", "AM_V", &Settings::AM_V},
    {"Formula", "LOCK", "1", "CFLOCK", &Settings::CFLOCK},
    {"Formula", "RawMat-1", "UREA", "DRAW1", &Settings::DRAW1},
    {"Formula", "RawMat-2", "DAP", "DRAW2", &Settings::DRAW2},
    {"Formula", "RawMat-3", "MOP", "DRAW3", &Settings::DRAW3},
    {"Formula", "RawMat-4", "AM", "DRAW4", &Settings::DRAW4},
    {"Formula", "RawMat-5", "FILLER", "DRAW5", &Settings::DRAW5},
    {"Formula", "RawMat-6", "-", "DRAW6", &Settings::DRAW6},
    {"Formula", "RawMat-7", "-", "DRAW7", &Settings::DRAW7},
    {"Formula", "RawMat-8", "-", "DRAW8", &Settings::DRAW8},
    {"Link", "IP", "127.0.0.1", "CIP", &Settings::CIP},
    {"Link", "Host", "blendlink", "CHOST", &Settings::CHOST},
    {"Link", "Size", "40", "CDSIZE", &Settings::CDSIZE},
    {"Link", "Auto", "1", "CALINK", &Settings::CALINK},
};

constexpr size_t kMaxValueBytes = 1022;
constexpr const char* kDefaultConfig = ".\\MAIN.INI";

enum class SaveForm { AsHeld, Plain, Decimal, TwoDecimals };

struct SavedKey {
  const char* section;
  const char* key;
  SaveForm form;
};

// The user-editable keys, in the order the system-variables dialog saves them.
std::vector<SavedKey> buildSavedKeys() {
  std::vector<SavedKey> keys;
  for (const char* k : {"Name", "Address1", "Address2", "Address3", "Tax ID", "S/N", "Branch"})
    keys.push_back({"Data", k, SaveForm::AsHeld});
  static const std::array<std::string, 21> fontKeys = [] {
    std::array<std::string, 21> names;
    for (int i = 0; i <= 6; ++i) {
      names[i * 3] = "Font" + std::to_string(i);
      names[i * 3 + 1] = "Width" + std::to_string(i);
      names[i * 3 + 2] = "Height" + std::to_string(i);
    }
    return names;
  }();
  for (const std::string& k : fontKeys) keys.push_back({"Font", k.c_str(), SaveForm::AsHeld});
  for (const char* k : {"Pen1", "Pen2", "Pen3"}) keys.push_back({"Font", k, SaveForm::AsHeld});
  keys.push_back({"Font", "Ratio", SaveForm::Plain});
  for (const char* k : {"Table", "Exe", "BackUp", "Work"})
    keys.push_back({"Path", k, SaveForm::AsHeld});
  for (const char* k : {"PageL", "Feed", "Preview", "AutoComp"})
    keys.push_back({"Misc", k, SaveForm::AsHeld});
  for (const char* k : {"W.Limit", "W.Still", "Discharge", "BackLoop"})
    keys.push_back({"Misc", k, SaveForm::Decimal});
  keys.push_back({"Misc", "QRCode", SaveForm::AsHeld});
  static const std::array<std::string, 24> setpoints = [] {
    std::array<std::string, 24> names;
    for (int i = 1; i <= 8; ++i) {
      names[(i - 1) * 3] = "Big" + std::to_string(i);
      names[(i - 1) * 3 + 1] = "Fast" + std::to_string(i);
      names[(i - 1) * 3 + 2] = "Slow" + std::to_string(i);
    }
    return names;
  }();
  for (const std::string& k : setpoints)
    keys.push_back({"Setpoint", k.c_str(), SaveForm::TwoDecimals});
  return keys;
}

const SettingsKey& keyOf(std::string_view section, std::string_view key) {
  for (const SettingsKey& k : kKeys)
    if (section == k.section && key == k.key) return k;
  std::abort();  // the saved-key list names only keys of the table
}

std::string savedText(const Settings& s, const SettingsKey& key, SaveForm form) {
  if (const auto* text = std::get_if<std::string Settings::*>(&key.member)) return s.*(*text);
  const double value = s.*std::get<double Settings::*>(key.member);
  switch (form) {
    case SaveForm::Plain:
      return formatPlain(value);
    case SaveForm::Decimal:
      return formatFixed(value, 10, 2);
    case SaveForm::TwoDecimals:
      return trim(formatFixed(value, 20, 2));
    case SaveForm::AsHeld:
      break;
  }
  return formatPlain(value);
}

std::filesystem::path pathOfConfig(const std::string& varfile) {
  return varfile == kDefaultConfig ? nativePath(varfile) : nativePathFromLocal(varfile);
}

}  // namespace

std::span<const SettingsKey> settingsKeys() { return kKeys; }

const SettingsKey* findSettingsField(std::string_view name) {
  for (const SettingsKey& k : kKeys)
    if (equalsIgnoringCase(k.field, name)) return &k;
  return nullptr;
}

std::string defaultText(const SettingsKey& key) { return utf8ToCp874(key.defaultUtf8); }

double& Settings::bigDefault(int bin) {
  double* fields[] = {&DBIG1, &DBIG2, &DBIG3, &DBIG4, &DBIG5, &DBIG6, &DBIG7, &DBIG8};
  return *fields[std::clamp(bin, 1, 8) - 1];
}
double& Settings::fastDefault(int bin) {
  double* fields[] = {&DFAST1, &DFAST2, &DFAST3, &DFAST4, &DFAST5, &DFAST6, &DFAST7, &DFAST8};
  return *fields[std::clamp(bin, 1, 8) - 1];
}
double& Settings::slowDefault(int bin) {
  double* fields[] = {&DSLOW1, &DSLOW2, &DSLOW3, &DSLOW4, &DSLOW5, &DSLOW6, &DSLOW7, &DSLOW8};
  return *fields[std::clamp(bin, 1, 8) - 1];
}
std::string& Settings::drawCode(int bin) {
  std::string* fields[] = {&DRAW1, &DRAW2, &DRAW3, &DRAW4, &DRAW5, &DRAW6, &DRAW7, &DRAW8};
  return *fields[std::clamp(bin, 1, 8) - 1];
}

std::filesystem::path configFilePath(const Settings& settings) {
  return pathOfConfig(settings.VARFILE);
}

namespace {

// Reads every key in table order; with `complete`, a key that is missing or equal to its
// default is written back (the caller saves). Then the derived fields.
void readKeys(Settings& s, IniFile& ini, bool complete) {
  for (const SettingsKey& key : kKeys) {
    const std::string fallback = defaultText(key);
    std::string text = ini.value(key.section, key.key).value_or(fallback);
    if (text.size() > kMaxValueBytes) text.resize(kMaxValueBytes);
    if (complete && text == fallback) ini.setValue(key.section, key.key, fallback);
    if (const auto* field = std::get_if<std::string Settings::*>(&key.member)) {
      s.*(*field) = text;
    } else {
      double value = VAL(text);
      if (key.isRatio) value = std::max(1.0, std::abs(value));
      s.*std::get<double Settings::*>(key.member) = value;
    }
  }
  s.CUSER.clear();
  s.CLOGIN.clear();
  s.CTRUSTEE.clear();
  s.CCOLOR = static_cast<std::uint32_t>(VAL(s.CCOLORR) + 256 * VAL(s.CCOLORG) +
                                        65536 * VAL(s.CCOLORB));
  s.OFONT0 = {s.CFONT0, VAL(s.CWIDTH0), VAL(s.CHEIGHT0)};
}

}  // namespace

Settings loadSettings(std::optional<std::string> argument) {
  Settings s;
  s.VARFILE = argument ? *argument : std::string(kDefaultConfig);
  IniFile ini(configFilePath(s));
  readKeys(s, ini, true);
  ini.save();  // a read-only folder or file: carry on with the values read
  if (!std::filesystem::exists(configFilePath(s))) SAVEINI(s);
  return s;
}

Settings readSettings(const std::filesystem::path& file) {
  Settings s;
  s.VARFILE = file.string();
  IniFile ini(file);
  readKeys(s, ini, false);
  return s;
}

bool SAVEINI(const Settings& settings) {
  static const std::vector<SavedKey> saved = buildSavedKeys();
  IniFile ini(configFilePath(settings));
  for (const SavedKey& k : saved)
    ini.setValue(k.section, k.key, savedText(settings, keyOf(k.section, k.key), k.form));
  return ini.save();
}

}  // namespace blend
