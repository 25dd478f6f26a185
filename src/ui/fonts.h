#pragma once
// Fonts named by the settings, made real on this machine.
//
// The settings name Windows Thai fonts ("MS Sans Serif", "EucrosiaUPC") that a Linux station does
// not have. They are mapped once to the Thai fonts of the TLWG collection so Thai text renders
// instead of empty boxes; a machine that has the named font uses it.

#include <QFont>

#include "data/settings.h"

namespace blend {

// Registers the substitutions; call once after the application object exists.
void installThaiFontSubstitutions();

// A font from a face and the settings' width and height (a negative height is the character
// height in pixels, a positive one the cell height; a width of 0 keeps the face's own).
QFont makeFont(const FontSpec& described);

}  // namespace blend
