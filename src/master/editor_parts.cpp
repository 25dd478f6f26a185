#include "editor_parts.h"

#include <algorithm>

#include "data/table/dbf_header.h"
#include "data/table/dbf_table.h"
#include "ui/dialog.h"
#include "ui/picture_button.h"
#include "ui/picture_edit.h"
#include "ui/text.h"

namespace blend {

bool standOnEditedRecord(Context& ctx, Table& table, bool adding) {
  if (adding) {
    table.goBottom();
    table.skip(1);
    return true;
  }
  if (!table.eof()) return true;
  ctx.ui.message("ไม่มีข้อมูลในตารางรหัส !", "  ส่วนแก้ไขข้อมูลในตารางรหัส");
  return false;
}

QString numberPicture(const Field& field) {
  const int decimals = field.decimals;
  const int integers = field.width - decimals - (decimals > 0 ? 1 : 0);
  QString picture(std::max(integers, 1), QLatin1Char('9'));
  if (decimals > 0) picture += QLatin1Char('.') + QString(decimals, QLatin1Char('9'));
  return picture;
}

PictureButton* editorButton(Dialog& dialog, const char* name, const char* picture,
                            const char* tooltip, std::function<void()> onClick) {
  PictureButton* b =
      dialog.addPictureButton(name, picture, fromUtf8(tooltip), QRect(), std::move(onClick));
  b->setFixedSize(44, 44);
  return b;
}

}  // namespace blend
