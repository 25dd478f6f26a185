#include "code_search.h"

#include <algorithm>

#include "data/format.h"
#include "data/table/access.h"
#include "data/table/dbf_table.h"
#include "data/table/workspace.h"
#include "data/text_util.h"

namespace blend {
namespace {

bool beginsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::string withoutBlanks(std::string_view text) {
  std::string out(text);
  std::erase(out, ' ');
  return out;
}

bool goToCode(Context& ctx, Table& table, std::string_view filter) {
  const std::uint32_t before = table.recNo();
  if (table.seek(withoutBlanks(upperAscii(filter)))) return true;
  table.goTo(before);
  ctx.ui.message("ไม่พบรหัสที่ระบุ", "ตารางรหัส");
  return false;
}

bool searchWithinFilter(Context& ctx, Table& table, std::string_view filter,
                        std::string_view search) {
  const std::string wanted = trim(upperAscii(search));
  if (wanted.empty()) return false;
  const std::string block = trim(filter);
  const std::uint32_t before = table.recNo();
  const auto inBlock = [&] { return !table.eof() && beginsWith(table.rawField("CODE"), block); };
  table.skip(1);
  while (inBlock() &&
         upperAscii(std::string(table.rawField("CODE")) + std::string(table.rawField("NAME")))
                 .find(wanted) == std::string::npos)
    table.skip(1);
  if (inBlock()) return true;
  ctx.ui.message("ไม่พบข้อมูลที่ระบุ !", "  ส่วนทำการค้นหา", MessageKind::Stop);
  table.goTo(before);
  return false;
}

bool CODCHK(Context& ctx, Table& table, std::string_view codeAtOpen, std::string_view newCode) {
  if (newCode == codeAtOpen) return true;
  const std::uint32_t before = table.recNo();
  const bool taken = table.seek(newCode);
  table.setOrder(1);
  table.goTo(before);
  if (!taken) return true;
  ctx.ui.message("รหัสนี้มีในตารางข้อมูลแล้ว !", "คำเตือน", MessageKind::Stop);
  return false;
}

bool toggleDeletionMark(Context& ctx, Workspace& tables) {
  Table* table = tables.current();
  if (!table || table->eof()) return false;
  const bool unmark = table->deleted();
  if (!ctx.ui.yesNo(unmark ? "ยกเลิกเครื่องหมายลบ" : "สั่งทำเครื่องหมายลบ", "กรุณายืนยันการทำงาน"))
    return false;
  if (!REC_LOCK(ctx, tables, 0)) return false;
  // What the operator said yes to, even if another station changed the mark meanwhile: a
  // second "mark" must not turn into an unmark.
  const bool changed = unmark ? table->recall() : table->deleteRecord();
  tables.unlockAll();
  return changed;
}

int rowInGrid(Table& table, int rows, const std::function<bool(Table&)>& belongs) {
  const std::uint32_t here = table.recNo();
  int count = 0;
  while (!table.bof() && (!belongs || belongs(table)) && count < rows) {
    ++count;
    table.skip(-1);
  }
  table.goTo(here);
  return count;
}

}  // namespace blend
