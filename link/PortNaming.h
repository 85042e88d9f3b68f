#pragma once

#include <QByteArray>
#include <QString>

#include <string>

// A port name from outside (an environment variable, the command line). Qt opens a device by a
// QString, so only a name that comes back from it as the very same bytes can be opened as given;
// any other would open whatever device its decoded spelling happens to name.
struct PortName {
    QString device;  // the name to open; for one that cannot be opened, as a message shows it
    QString problem; // why it cannot be opened as given; empty when it can
};
[[nodiscard]] PortName portNameFromBytes(const QByteArray &bytes);

// Linux has no COM names: COM n is the device named by SGX100_COM<n> when set, otherwise
// /dev/ttyS<n-1>; on Windows it is COM<n>.
[[nodiscard]] PortName comPortName(int comNumber);

// Whether the system refuses the name as too long (a path, or one of its folders' names).
[[nodiscard]] bool nameTooLong(const QString &device);

// What to do about a device that this process may not open, from who owns it and who the user
// is; see permissionAdvice in PortAccess.h.
[[nodiscard]] std::string permissionAdviceFor(const QString &device);
