#pragma once
// What the code-table editors build their dialogs from.

#include <QString>
#include <functional>
#include <initializer_list>

namespace blend {

class Dialog;
class PictureButton;
class PictureEdit;
struct Field;

// The entry picture of a numeric field: "9999999.99" for width 10 with 2 decimals.
QString numberPicture(const Field& field);

// A 44 x 44 picture button of an editor; tooltip in UTF-8.
PictureButton* editorButton(Dialog& dialog, const char* name, const char* picture,
                            const char* tooltip, std::function<void()> onClick);

// Leaves each field in turn, as the operator would on the way to the save button (a picture
// button takes no focus, so the field the operator is in has not been checked yet). The first
// that refuses gets the focus back; answers whether all were left.
bool leaveInTurn(std::initializer_list<PictureEdit*> fields);

}  // namespace blend
