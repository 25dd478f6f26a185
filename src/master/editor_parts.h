#pragma once
// What the code-table editors build their dialogs from.

#include <QString>
#include <functional>

#include "data/context.h"

namespace blend {

class Dialog;
class Table;
class PictureButton;
struct Field;

// Puts the table where an editor takes its buffers from: the blank record when adding, the
// current record when editing. Editing on the blank record tells the operator there is nothing
// to edit and answers false.
bool standOnEditedRecord(Context& ctx, Table& table, bool adding);

// The entry picture of a numeric field: "9999999.99" for width 10 with 2 decimals.
QString numberPicture(const Field& field);

// A 44 x 44 picture button of an editor; tooltip in UTF-8.
PictureButton* editorButton(Dialog& dialog, const char* name, const char* picture,
                            const char* tooltip, std::function<void()> onClick);

}  // namespace blend
