#pragma once

#include <QString>

// Linux has no COM names: COM n is the device named by SGX100_COM<n> when set, otherwise
// /dev/ttyS<n-1>; on Windows it is COM<n>.
[[nodiscard]] QString portDeviceName(int comNumber);

// What to do about a device the user may not open: on Linux, serial devices belong to the
// dialout group.
[[nodiscard]] QString permissionAdvice();
