#include "layouts.h"

#include "text_util.h"

namespace blend {
namespace {

std::vector<FieldDef> numbered(const char* stem, char type, int width, int decimals) {
  std::vector<FieldDef> fields;
  for (int i = 1; i <= 8; ++i) fields.push_back({stem + std::to_string(i), type, width, decimals});
  return fields;
}

std::vector<FieldDef> join(std::initializer_list<std::vector<FieldDef>> parts) {
  std::vector<FieldDef> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// Widths the tables' contract leaves open: names 40, addresses and remarks 60, money and
// kilograms N10.2 (wider than their 999999.99 masks), times in seconds N6, FEED N5.1 (mask 999.9).
// Code fields are as wide as the fields that refer to them (C10; users C6).
std::vector<TableLayout> buildLayouts() {
  const FieldDef link{"LINK", 'C', 1, 0};
  return {
      {"COMPANY", TableHome::Codes, "code",
       {{"CODE", 'C', 10, 0}, {"NAME", 'C', 60, 0}, {"ADDR1", 'C', 60, 0}, {"ADDR2", 'C', 60, 0},
        {"PLACE1", 'C', 60, 0}, {"PLACE2", 'C', 60, 0}, {"REMARKS", 'C', 60, 0}, link}},
      {"RAWMAT", TableHome::Codes, "code",
       {{"CODE", 'C', 10, 0}, {"NAME", 'C', 40, 0}, {"COST", 'N', 10, 2}, {"REMARKS", 'C', 60, 0},
        link}},
      {"FORMULA", TableHome::Codes, "code",
       join({{{"CODE", 'C', 10, 0},
              {"NAME", 'C', 40, 0},
              {"CAPACITY", 'N', 10, 2},
              {"TIME", 'N', 6, 0},
              {"DISCHARGE", 'N', 6, 0},
              {"REMARKS", 'C', 60, 0}},
             numbered("AGG", 'C', 10, 0), numbered("QTY", 'N', 10, 2), numbered("BIG", 'N', 10, 2),
             numbered("FAST", 'N', 10, 2), numbered("SLOW", 'N', 10, 2),
             numbered("ADJUST", 'N', 10, 2), numbered("FEED", 'N', 5, 1),
             {{"UPDATE", 'C', 16, 0}, link}})},
      {"UNIT", TableHome::Codes, "code",
       {{"CODE", 'C', 10, 0}, {"NAME", 'C', 40, 0}, {"QTY", 'N', 10, 2}, link}},
      {"USERLIST", TableHome::Codes, "code",
       {{"CODE", 'C', 6, 0}, {"NAME", 'C', 40, 0}, {"PASS_W", 'C', 6, 0}, {"TRUSTEE", 'C', 42, 0}}},
      {"REPLIST", TableHome::Codes, "code", {{"CODE", 'C', 10, 0}, {"NAME", 'C', 60, 0}}},
      {"CONSEC", TableHome::Codes, "", {{"CSNO", 'N', 12, 0}}},
      {"WDATA", TableHome::Work, "DTOS(DATE)+TIME+NUMBER",
       {{"NUMBER", 'C', 10, 0}, {"DATE", 'D', 8, 0}, {"TIME", 'C', 8, 0}, {"COMPANY", 'C', 10, 0},
        {"REMARK1", 'C', 60, 0}, {"REMARK2", 'C', 60, 0}, {"REMARK3", 'C', 60, 0},
        {"INDENT", 'C', 24, 0}, {"STAFF", 'C', 6, 0}, {"PRINT", 'N', 2, 0}, link}},
      {"DETAIL", TableHome::Work, "INDENT+INDENT2",
       join({{{"INDENT", 'C', 24, 0},
              {"INDENT2", 'C', 24, 0},
              {"DATE", 'D', 8, 0},
              {"TIME", 'C', 8, 0},
              {"STAFF", 'C', 6, 0},
              {"DOC_DATE", 'D', 8, 0},
              {"FORMULA", 'C', 10, 0},
              {"QTY", 'N', 10, 2},
              {"UNIT", 'C', 10, 0},
              {"QUANTITY", 'N', 10, 2}},
             numbered("AGG", 'C', 10, 0), numbered("TARGET", 'N', 10, 2),
             numbered("ACTUAL", 'N', 10, 2), numbered("COST", 'N', 10, 2),
             {{"PRICE", 'N', 10, 2}, {"STAT", 'C', 1, 0}, link}})},
      {"BATCHING", TableHome::Work, "INDENT+INDENT2+ITEM",
       join({{{"INDENT", 'C', 24, 0},
              {"INDENT2", 'C', 24, 0},
              {"ITEM", 'C', 4, 0},
              {"DATE", 'D', 8, 0},
              {"TIME", 'C', 8, 0},
              {"DOC_DATE", 'D', 8, 0},
              {"STAFF", 'C', 6, 0},
              {"STAT", 'C', 1, 0}},
             numbered("TARGET", 'N', 10, 2), numbered("ACTUAL", 'N', 10, 2), {link}})},
  };
}

}  // namespace

std::span<const TableLayout> permanentLayouts() {
  static const std::vector<TableLayout> layouts = buildLayouts();
  return layouts;
}

const TableLayout* findLayout(std::string_view name) {
  for (const TableLayout& layout : permanentLayouts())
    if (equalsIgnoringCase(layout.name, name)) return &layout;
  return nullptr;
}

const std::string& directoryOf(const Settings& settings, TableHome home) {
  switch (home) {
    case TableHome::Codes:
      return settings.CDRV1;
    case TableHome::Work:
      return settings.CDRV2;
    case TableHome::Scratch:
      break;
  }
  return settings.CDRV4;
}

std::vector<FieldDef> templateLinesFields(int width) { return {{"Code", 'C', width, 0}}; }

}  // namespace blend
