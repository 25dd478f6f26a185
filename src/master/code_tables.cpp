#include "code_tables.h"

#include <array>

namespace blend {
namespace {

constexpr std::array<CodeTable, 6> kCodeTables{{
    {kCompanyTable, "COMPANY", "  ส่วนจัดการตารางรหัสบริษัท", 3, "   รหัสบริษัท", "   ชื่อบริษัท"},
    {kRawMatTable, "RAWMAT", "  ส่วนจัดการตารางรหัสวัตถุดิบ", 4, "   รหัสวัตถุดิบ", "   ชื่อวัตถุดิบ"},
    {kFormulaTable, "FORMULA", "  ส่วนจัดการตารางรหัสสูตรผสม", 5, "   รหัสสูตรผสม", "   ชื่อสูตรผสม"},
    {kUserTable, "USERLIST", "  ส่วนจัดการตารางรหัสผู้ใช้โปรแกรม", 6, "  รหัสผู้ใช้โปรแกรม",
     "  ชื่อผู้ใช้โปรแกรม"},
    {kReportTable, "REPLIST", "  ส่วนจัดการตารางรหัสรายงาน", 7, "  รหัสรายงาน", "  ชื่อรายงาน"},
    {kUnitTable, "UNIT", "  ส่วนจัดการตารางรหัสหน่วยนับ", 8, "  รหัสหน่วยนับ", "  ชื่อหน่วยนับ"},
}};

}  // namespace

const CodeTable* codeTable(int number) {
  for (const CodeTable& t : kCodeTables)
    if (t.number == number) return &t;
  return nullptr;
}

}  // namespace blend
