#include "demo_rows.h"

#include "data/cp874.h"
#include "data/rights.h"
#include "master/formula_calc.h"

namespace blend {
namespace {

Value thai(const char* utf8) {
  return Value(utf8ToCp874(utf8));
}

DemoRow user(const char* code, const char* name, const char* password, std::string rights) {
  return {{"CODE", Value(code)},
          {"NAME", thai(name)},
          {"PASS_W", Value(encipherPassword(password))},
          {"TRUSTEE", Value(normaliseRights(rights))}};
}

DemoRow coded(const char* code, const char* name) {
  return {{"CODE", Value(code)}, {"NAME", thai(name)}};
}

// A formula made with the calculation, as an operator makes one in the formula editor, with
// set points for the plant's feeders: big feeding stops 30 kg before the target, fast feeding
// 5 kg before, the final feed 0.3 kg before (what is still in the air); a set point above the
// amount of its slot is cleared by the calculation.
DemoRow formula(const Settings& settings, const char* code, const char* name, const char* grade,
                double compensation, int filler, double batch) {
  FormulaSlots slots;
  for (FormulaSlot& s : slots) {
    s.big = 30;
    s.fast = 5;
    s.slow = 0.3;
    s.feed = 1.0;
  }
  FORMCALC(settings, grade, compensation, filler, batch, slots);
  DemoRow row = {{"CODE", Value(code)},      {"NAME", thai(name)},
                 {"CAPACITY", Value(batch)}, {"TIME", Value(20)},
                 {"DISCHARGE", Value(10)},   {"REMARKS", thai("คำนวณด้วยตารางคำนวณสูตรปุ๋ย")}};
  for (int n = 1; n <= kFormulaSlots; ++n) {
    const FormulaSlot& s = slots[static_cast<std::size_t>(n - 1)];
    const std::string i = std::to_string(n);
    row.push_back({"AGG" + i, Value(s.agg)});
    row.push_back({"QTY" + i, Value(s.qty)});
    row.push_back({"BIG" + i, Value(s.big)});
    row.push_back({"FAST" + i, Value(s.fast)});
    row.push_back({"SLOW" + i, Value(s.slow)});
    row.push_back({"FEED" + i, Value(s.qty > 0 ? s.feed : 0.0)});
  }
  return row;
}

}  // namespace

std::vector<DemoRow> demoRows(const std::string& table, const Settings& settings) {
  if (table == "FORMULA")
    return {formula(settings, "15-15-15", "ปุ๋ยสูตร 15-15-15", "15-15-15", 0.2, kWithFiller, 1000),
            formula(settings, "16-20-0", "ปุ๋ยสูตร 16-20-0", "16-20-00", 0.2, kWithFiller, 1000),
            formula(settings, "20-10-10", "ปุ๋ยสูตร 20-10-10 (ไม่ใช้สารเติมเต็ม)", "20-10-10", 0.2,
                    kNoFiller, 1000),
            // Straight urea: no compensation, or the other materials would push it past 1000.
            formula(settings, "46-0-0", "ยูเรียล้วน 46-0-0", "46-00-00", 0, kWithFiller, 500)};
  if (table == "USERLIST")
    return {user("ADMIN", "ผู้ดูแลระบบ", "ADMIN", std::string(42, '6')),
            // A shift operator: records and mixes, reads the code tables, prints reports.
            user("OPER", "พนักงานผสม", "1234", "52111111100010"),
            // An office clerk: looks at everything, changes nothing.
            user("VIEW", "ฝ่ายบัญชี", "1111", "12111111100010")};
  if (table == "COMPANY") {
    std::vector<DemoRow> rows = {coded("C001", "สหกรณ์การเกษตรบ้านไร่ จำกัด"),
                                 coded("C002", "ร้านปุ๋ยเจริญพืชผล"), coded("C003", "ไร่อ้อยสมบูรณ์ผล")};
    rows[0].push_back({"ADDR1", thai("12 หมู่ 3 ตำบลบ้านไร่")});
    rows[0].push_back({"PLACE1", thai("โกดังสหกรณ์ หลังที่ 2")});
    return rows;
  }
  if (table == "RAWMAT") {
    const struct {
      const char* code;
      const char* name;
      double cost;
    } materials[] = {{"UREA", "ยูเรีย 46-0-0", 15.5},
                     {"DAP", "ไดแอมโมเนียมฟอสเฟต 18-46-0", 21.0},
                     {"MOP", "โพแทสเซียมคลอไรด์ 0-0-60", 17.25},
                     {"AM", "แอมโมเนียมซัลเฟต 21-0-0", 9.8},
                     {"FILLER", "สารเติมเต็ม (ดินขาว)", 2.5},
                     {"KIES", "คีเซอไรต์ (แมกนีเซียม)", 14.0},
                     {"BORON", "โบรอน", 55.0}};
    std::vector<DemoRow> rows;
    for (const auto& m : materials)
      rows.push_back({{"CODE", Value(m.code)}, {"NAME", thai(m.name)}, {"COST", Value(m.cost)}});
    return rows;
  }
  if (table == "UNIT")
    return {{{"CODE", Value("KG")}, {"NAME", thai("กิโลกรัม")}, {"QTY", Value(1)}},
            {{"CODE", Value("BAG50")}, {"NAME", thai("กระสอบ 50 กก.")}, {"QTY", Value(50)}},
            {{"CODE", Value("TON")}, {"NAME", thai("ตัน")}, {"QTY", Value(1000)}}};
  if (table == "REPLIST")
    return {coded("D01", "รายงานการผลิตประจำวัน"), coded("D02", "รายงานการใช้วัตถุดิบ"),
            coded("M01", "สรุปการผลิตประจำเดือน")};
  return {};
}

}  // namespace blend
