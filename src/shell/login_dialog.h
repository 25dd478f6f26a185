#pragma once
// The login before the main window.

#include "data/context.h"

class QWidget;

namespace blend {

class Workspace;

// The login dialog: true once a user logged in (CUSER, CLOGIN, CTRUSTEE set); false when it was
// left without one, every table then closed. Attempts are not limited.
bool PASSWORD(Context& context, Workspace& tables, QWidget* parent = nullptr);

}  // namespace blend
