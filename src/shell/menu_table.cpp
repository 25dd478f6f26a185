#include "menu_table.h"

namespace blend {
namespace {

using enum MenuRow;
using enum Command;
constexpr Guard kNone{};

const MenuEntry kMenu[] = {
    {TopCommand, "บันทึกการทำงาน", "ส่วนบันทึกข้อมูลและสั่งการทำงาน", {1, 1}, Production},
    {TopCommand, "ทดสอบ", "ส่วนทดสอบการควบคุม", kNone, IoTest},
    {TopCommand, "รายงาน", "ส่วนการทำรายงานต่างๆ", {2, 1}, Reports},

    {Menu, "ตารางรหัส", "ส่วนกำหนดรหัสข้อมูลต่างๆ", kNone, Exit},
    {Item, "รหัสบริษัท", "ส่วนกำหนดตารางรหัสบริษัท", {3, 1}, BrowseCompany},
    {Separator, "", "", kNone, Exit},
    {Item, "รหัสวัตถุดิบ", "ส่วนกำหนดตารางรหัสวัตถุดิบ", {4, 1}, BrowseRawMat},
    {Separator, "", "", kNone, Exit},
    {Item, "รหัสสูตรการผสม", "ส่วนกำหนดตารางรหัสสูตรการผสม", {5, 1}, BrowseFormula},
    {Separator, "", "", kNone, Exit},
    {Item, "รหัสหน่วยนับ", "ส่วนกำหนดตารางรหัสหน่วยนับ", {8, 1}, BrowseUnit},
    {Separator, "", "", kNone, Exit},
    {Item, "รหัสผู้ใช้โปรแกรม", "ส่วนกำหนดตารางรหัสผู้ใช้โปรแกรม", {6, 1}, BrowseUsers},
    {Separator, "", "", kNone, Exit},
    {Item, "รหัสรายงาน", "ส่วนกำหนดตารางรหัสรายงาน", {7, 1}, BrowseReports},

    {Menu, "จัดการแฟ้มข้อมูล", "ส่วนจัดการระบบแฟ้มข้อมูล", kNone, Exit},
    {Item, "เชื่อมต่อInterNET", "ส่วนการเชื่อมต่อเครือข่าย InterNET", kNone, InterLink},
    {Separator, "", "", kNone, Exit},
    {Item, "บำรุงรักษาแฟ้มข้อมูล", "ส่วนบำรุงรักษาแฟ้มข้อมูล", {9, 1}, Maintenance},
    {Separator, "", "", kNone, Exit},
    {Submenu, "ทำสำเนาข้อมูล", "ส่วนการทำสำเนาแฟ้มข้อมูล", kNone, Exit},
    {SubItem, "ข้อมูลการทำงาน", "ทำสำเนาแฟ้มข้อมูลบันทึกการทำงาน", {10, 3}, BackupWork},
    {SubSeparator, "", "", kNone, Exit},
    {SubItem, "สำเนาข้อมูลตารางรหัส", "ส่วนการทำสำเนาแฟ้มข้อมูลตารางรหัสต่างๆ", {10, 3}, BackupCodes},
    {Item, "ลบข้อมูลการทำงาน", "ทำการลบข้อมูลบันทึกการทำงาน", {11, 3}, DeleteWork},
    {Submenu, "อ่านข้อมูลกลับ", "ส่วนการอ่านข้อมูลการทำงานจากสำเนา", kNone, Exit},
    {SubItem, "อ่านข้อมูลการทำงาน", "ทำการอ่านข้อมูลบันทึกการทำงาน", {12, 3}, RestoreWork},
    {SubSeparator, "", "", kNone, Exit},
    {SubItem, "อ่านข้อมูลตารางรหัส", "ส่วนการอ่านแฟ้มข้อมูลตารางรหัสต่างๆ", {12, 3}, RestoreCodes},

    {Menu, "กำหนดค่าระบบ", "ส่วนการกำหนดและตั้งค่าตัวแปรต่างๆ", kNone, Exit},
    {Item, "วันที่/เวลา", "ส่วนกำหนดค่าวันที่และเวลาของระบบ", {13, 1}, DateTime},
    {Separator, "", "", kNone, Exit},
    {Item, "กำหนดค่าระบบ", "ส่วนกำหนดค่าตัวแปรของระบบ", {14, 1}, Variables},
    {Separator, "", "", kNone, Exit},
    {Item, "เครื่องพิมพ์", "ส่วนการตั้งค่าเครื่องพิมพ์", kNone, PrinterSetup},
    {Separator, "", "", kNone, Exit},
    {Item, "อักษรรายงาน 1", "ส่วนกำหนดรูปแบบอักษรข้อมูลรายงาน", {14, 1}, Font1},
    {Item, "อักษรรายงาน 2", "ส่วนกำหนดรูปแบบอักษรกลุ่มรายงาน", {14, 1}, Font2},
    {Item, "อักษรรายงาน 3", "ส่วนกำหนดรูปแบบอักษรหัวรายงาน", {14, 1}, Font3},
    {Separator, "", "", kNone, Exit},
    {Item, "อักษรเอกสาร 1", "ส่วนกำหนดรูปแบบอักษรเอกสาร #1", {14, 1}, Font4},
    {Item, "อักษรเอกสาร 2", "ส่วนกำหนดรูปแบบอักษรเอกสาร #2", {14, 1}, Font5},
    {Item, "อักษรเอกสาร 3", "ส่วนกำหนดรูปแบบอักษรเอกสาร #3", {14, 1}, Font6},
    {Separator, "", "", kNone, Exit},
    {Item, "NotePad", "ส่วนเรียกใช้ Text editor", kNone, TextEditor},

    {TopCommand, "ออกจากโปรแกรม", "เสร็จการทำงานและออกจากโปรแกรม", kNone, Exit},
};

const ToolEntry kToolbar[] = {
    {".\\library\\Process.bmp", "ส่วนบันทึกข้อมูลการทำงาน", "บันทึกการทำงาน", Production},
    {".\\library\\Internet.bmp", "ส่วนเชื่อมต่อเครือข่าย InterNET", "InterNET", InterLink},
    {".\\library\\Control.bmp", "ส่วนทดสอบการควบคุม", "ทดสอบ", IoTest},
    {".\\library\\Report.bmp", "ส่วนจัดทำรายงานต่างๆ", "รายงาน", Reports},
    {".\\library\\index.bmp", "ส่วนซ่อมบำรุงรักษาแฟ้มข้อมูล", "บำรุงรักษา", Maintenance},
    {".\\library\\clock.bmp", "ส่วนกำหนดวันที่และเวลาของระบบ", "ตั้งวันและเวลา", DateTime},
    {".\\library\\varia.bmp", "ส่วนกำหนดค่าตัวแปรของระบบ", "ตั้งค่าตัวแปร", Variables},
    {".\\library\\Calc.bmp", "เรียกใช้เครื่องคิดเลข", "เครื่องคิดเลข", Calculator},
    {".\\library\\printer.bmp", "กำหนดและตั้งค่าเครื่องพิมพ์", "ตั้งค่าเครื่องพิมพ์", PrinterSetup},
    {".\\library\\note.bmp", "เรียกใช้ Text Editor", "Notepad", TextEditor},
    {".\\library\\exit.bmp", "เสร็จการทำงานและออกจากโปรแกรม", "ออกจากโปรแกรม", Exit},
};

}  // namespace

std::span<const MenuEntry> menuTable() { return kMenu; }
std::span<const ToolEntry> toolbarTable() { return kToolbar; }

Guard guardOf(Command command) {
  for (const MenuEntry& e : kMenu)
    if ((e.row == TopCommand || e.row == Item || e.row == SubItem) && e.command == command)
      return e.guard;
  return {};
}

}  // namespace blend
