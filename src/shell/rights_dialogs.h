#pragma once
// The user editor's rights and password dialogs, and the service-code check.
//
// The rights and password dialogs act on the current record of the USERLIST table that the
// user editor has open in the workspace under the alias "USERLIST".

#include <string_view>

#include "data/context.h"

class QString;
class QWidget;

namespace blend {

class Workspace;

// The rights of the user on the current USERLIST record: one level digit for each of the
// fourteen functions the station guards. Saving writes TRUSTEE (positions past the fourteenth
// carried as they were, anything but "0" to "6" made "0"); when the user is the one logged in,
// CTRUSTEE follows so the new rights apply at once. Cancel writes nothing.
void TRUSTEE(Context& context, Workspace& tables, QWidget* parent = nullptr);

// Whether `digit` is a level, "0" to "6"; for anything else shows the levels and answers false,
// so the field it checks keeps the operator.
bool TRUSCHK(Context& context, std::string_view digit, QWidget* parent = nullptr);

// Changes the password of the user on the current USERLIST record: the old one must match
// (a password never set takes any), the new one typed twice. The dialog stays open after a
// refused change so the operator can correct it, and closes once the new password is written.
void PASSUSER(Context& context, Workspace& tables, QWidget* parent = nullptr);

// Asks for the service code; true when what was typed equals the code of the station clock at
// the moment the dialog closed, however it was closed.
bool FUNPASS(Context& context, QWidget* parent = nullptr);

// The same question under another title (the formula editor's unlock asks it too).
bool askServiceCode(Context& context, const QString& title, QWidget* parent = nullptr);

}  // namespace blend
