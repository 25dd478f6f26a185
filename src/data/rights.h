#pragma once
// Users and their rights: the password cipher, the login check against USERLIST, the rights
// check every guarded function asks, and the service code made from the station clock.

#include <string>
#include <string_view>

#include "context.h"

namespace blend {

class Workspace;

// Rights text positions; each holds one digit "0" to "6".
constexpr int kRightsPositions = 42;

// The stored form of a password: reversible, six bytes in, six out. Six blanks (a password never
// set) are kept as they are, so they never match a typed password.
std::string encipherPassword(std::string_view password);
std::string decipherPassword(std::string_view stored);

// The rights text as the rights editor shows and saves it: 42 positions, anything but "0" to
// "6" (and any missing position) made "0".
std::string normaliseRights(std::string_view rights);

// The user's level for a function: the digit at `index` (from 1) of CTRUSTEE; 0 for a position
// beyond the text or a character that is not a digit.
int rightsLevel(std::string_view rights, int index);

// True when the logged-in user holds `index` at `level` or above; otherwise tells the user
// ("คุณไม่มีอำนาจที่จะใช้คำสั่งนี้") and answers false.
bool AUTHCHK(Context& context, int index, int level);

// Checks a code and password against USERLIST (CDRV1, opened shared with its index on CODE and
// closed again); on success fills CUSER, CLOGIN and CTRUSTEE.
bool USERCHK(Context& context, Workspace& tables, std::string_view code,
             std::string_view password);

// The service code at this moment: hour, minute and day of the month, two digits each.
std::string serviceCode(Clock& clock);

}  // namespace blend
