#include "demo_rows.h"

#include "data/cp874.h"
#include "data/rights.h"

namespace blend {
namespace {

Value thai(const char* utf8) { return Value(utf8ToCp874(utf8)); }

DemoRow user(const char* code, const char* name, const char* password, std::string rights) {
  return {{"CODE", Value(code)},
          {"NAME", thai(name)},
          {"PASS_W", Value(encipherPassword(password))},
          {"TRUSTEE", Value(normaliseRights(rights))}};
}

DemoRow coded(const char* code, const char* name) {
  return {{"CODE", Value(code)}, {"NAME", thai(name)}};
}

}  // namespace

std::vector<DemoRow> demoRows(const std::string& table) {
  if (table == "USERLIST")
    return {user("ADMIN", "ผู้ดูแลระบบ", "ADMIN", std::string(42, '6')),
            // A shift operator: records and mixes, reads the code tables, prints reports.
            user("OPER", "พนักงานผสม", "1234", "52111111100010"),
            // An office clerk: looks at everything, changes nothing.
            user("VIEW", "ฝ่ายบัญชี", "1111", "12111111100010")};
  if (table == "COMPANY") {
    std::vector<DemoRow> rows = {coded("C001", "สหกรณ์การเกษตรบ้านไร่ จำกัด"),
                                 coded("C002", "ร้านปุ๋ยเจริญพืชผล"),
                                 coded("C003", "ไร่อ้อยสมบูรณ์ผล")};
    rows[0].push_back({"ADDR1", thai("12 หมู่ 3 ตำบลบ้านไร่")});
    rows[0].push_back({"PLACE1", thai("โกดังสหกรณ์ หลังที่ 2")});
    return rows;
  }
  if (table == "RAWMAT") {
    const struct {
      const char* code;
      const char* name;
      double cost;
    } materials[] = {{"UREA", "ยูเรีย 46-0-0", 15.5},       {"DAP", "ไดแอมโมเนียมฟอสเฟต 18-46-0", 21.0},
                     {"MOP", "โพแทสเซียมคลอไรด์ 0-0-60", 17.25}, {"AM", "แอมโมเนียมซัลเฟต 21-0-0", 9.8},
                     {"FILLER", "สารเติมเต็ม (ดินขาว)", 2.5},    {"KIES", "คีเซอไรต์ (แมกนีเซียม)", 14.0},
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
