#include "rights.h"

#include "format.h"
#include "table/access.h"
#include "table/dbf_table.h"
#include "table/workspace.h"
#include "text_util.h"
#include "value_helpers.h"

namespace blend {
namespace {

// Each position of the password is shifted by its own amount, wrapping within the printable
// bytes 0x21..0xFE; a blank stays a blank so the stored text keeps the typed trailing blanks.
constexpr unsigned char kKey[6] = {17, 53, 89, 29, 71, 43};
constexpr int kLow = 0x21, kSpan = 0xFE - 0x21 + 1;

std::string shift(std::string_view text, int direction) {
  std::string out(text.substr(0, 6));
  out.resize(6, ' ');
  for (size_t i = 0; i < 6; ++i) {
    const int c = static_cast<unsigned char>(out[i]);
    if (c < kLow || c > 0xFE) continue;
    out[i] = static_cast<char>(kLow + ((c - kLow + direction * kKey[i]) % kSpan + kSpan) % kSpan);
  }
  return out;
}

}  // namespace

std::string encipherPassword(std::string_view password) { return shift(password, 1); }
std::string decipherPassword(std::string_view stored) { return shift(stored, -1); }

std::string normaliseRights(std::string_view rights) {
  std::string out(kRightsPositions, '0');
  for (size_t i = 0; i < out.size() && i < rights.size(); ++i)
    if (rights[i] >= '0' && rights[i] <= '6') out[i] = rights[i];
  return out;
}

int rightsLevel(std::string_view rights, int index) {
  if (index < 1 || static_cast<size_t>(index) > rights.size()) return 0;
  const char c = rights[index - 1];
  return c >= '0' && c <= '9' ? c - '0' : 0;
}

bool AUTHCHK(Context& context, int index, int level) {
  if (rightsLevel(context.settings.CTRUSTEE, index) >= level) return true;
  context.ui.message("คุณไม่มีอำนาจที่จะใช้คำสั่งนี้", "  ส่วนการกำหนดอำนาจ", MessageKind::Info);
  return false;
}

bool USERCHK(Context& context, Workspace& tables, std::string_view code,
             std::string_view password) {
  const std::string typedCode = upperAscii(code);
  const std::string typedPassword = upperAscii(password);
  if (!OPEN(context, tables, context.settings.CDRV1, "USERLIST", "code", false, "USERLIST",
            "USERLIST"))
    return false;
  Table& users = *tables.table("USERLIST");
  bool ok = false;
  if (!trim(typedCode).empty() && users.seek(typedCode) &&
      trim(users.field("CODE").text()) == trim(typedCode) &&
      users.field("PASS_W").text() == encipherPassword(typedPassword) &&
      users.field("PASS_W").text() != std::string(6, ' ')) {
    context.settings.CUSER = trim(users.field("CODE").text());
    context.settings.CLOGIN = trim(users.field("NAME").text());
    context.settings.CTRUSTEE = users.field("TRUSTEE").text();
    ok = true;
  }
  tables.close("USERLIST");
  return ok;
}

std::string serviceCode(Clock& clock) {
  const int seconds = static_cast<int>(clock.secondsSinceMidnight());
  return ZERO(seconds / 3600 % 24, 2) + ZERO(seconds / 60 % 60, 2) + ZERO(clock.today().day(), 2);
}

}  // namespace blend
