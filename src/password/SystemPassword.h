#pragma once

#include "platform/Password.h"

namespace tavello {

// The password provider over the password file in the settings folder and the desktop's switch
// in user.reg.
PasswordService& SystemPassword();

}  // namespace tavello
