#pragma once

#include "Accounts.h"

#include <string>

// What to do about a device the process may not open. Joining the device's group helps only
// when that group may read and write it and the user does not own it: then the advice names the
// group and the command, or, for a user already listed in it, says to log in again (a process
// has the groups of its login). Otherwise it says who owns the device and its mode.
[[nodiscard]] std::string permissionAdvice(const DeviceAccess &device, const ProcessAccess &process);
