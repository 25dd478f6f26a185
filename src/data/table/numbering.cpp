#include "numbering.h"

#include <random>

#include "access.h"
#include "data/value_helpers.h"
#include "dbf_table.h"
#include "workspace.h"

namespace blend {
namespace {

constexpr const char* kNoNumber = "0000000000";

// Makes `alias` current when it is open (selecting one that is not would be an error).
void selectIfOpen(Workspace& tables, std::string_view alias) {
  if (tables.table(alias)) tables.select(alias);
}

// Builds candidates until `taken` says no; the table searched is put back where it was.
std::string uniqueIdentifier(Context& context, Table& table, const std::string& prefix,
                             const RandomWords& random) {
  const std::uint32_t remembered = table.recNo();
  std::string candidate;
  do {
    candidate = makeIdentifier(context.clock, random);
  } while (table.seek(prefix + candidate));
  table.goTo(remembered);
  return candidate;
}

}  // namespace

RandomWords stationRandom() {
  auto engine = std::make_shared<std::mt19937>(std::random_device{}());
  return [engine] { return static_cast<std::uint16_t>((*engine)() & 0xFFFF); };
}

std::string CONSEC(Context& context, Workspace& tables, char mode, double number) {
  std::string result = kNoNumber;
  const std::string path = context.settings.CDRV1 + "consec";
  if (NET_USE(context, tables, path, true, 10, "CONSEC")) {
    Table& consec = *tables.table("CONSEC");
    consec.goTo(1);
    const double counter = consec.field("CSNO").isNumber() ? consec.field("CSNO").number() : 0;
    result = ZERO(counter, 10);
    if (mode == 'W' && REC_LOCK(context, tables, 0)) {
      consec.setField("CSNO", Value((number == 0 ? counter : number) + 1));
      tables.commitAll();
      tables.unlockAll();
    }
    tables.close("CONSEC");
  }
  selectIfOpen(tables, "WDATA");
  return result;
}

std::string makeIdentifier(Clock& clock, const RandomWords& random) {
  // One reading of the clock for date and time, so the parts belong to the same second.
  const std::string date = DTOS(clock.today());
  const std::string time = clock.timeOfDay();
  const std::uint64_t product =
      std::uint64_t{random()} * std::uint64_t{random()} * std::uint64_t{random()};
  std::string digits = std::to_string(product).substr(0, 10);
  digits.resize(10, ' ');
  return date + time.substr(0, 2) + time.substr(3, 2) + time.substr(6, 2) + digits;
}

std::string INDENT(Context& context, Workspace& tables, const RandomWords& random) {
  std::string identifier;
  if (Table* detail = tables.table("DETAIL")) {
    tables.select(*detail);
    identifier = uniqueIdentifier(context, *detail, "", random);
  } else {
    identifier = makeIdentifier(context.clock, random);
  }
  selectIfOpen(tables, "WDATA");
  return identifier;
}

std::string INDENT2(Context& context, Workspace& tables, std::string_view document,
                    const RandomWords& random) {
  std::string identifier;
  if (Table* batching = tables.table("BATCHING")) {
    tables.select(*batching);
    identifier = uniqueIdentifier(context, *batching, std::string(document), random);
  } else {
    identifier = makeIdentifier(context.clock, random);
  }
  selectIfOpen(tables, "DETAIL");
  return identifier;
}

}  // namespace blend
