#pragma once
// The document viewer: shows the installation's DocFile.TXT.

#include "data/settings.h"

class QWidget;

namespace blend {

// Shows CDRV1 + "DocFile.TXT" when it exists; the text may be scrolled and typed in but is never
// written back. Always answers false (a click on the login picture must not close the login).
bool WELMESS(const Settings& settings, QWidget* parent = nullptr);

}  // namespace blend
