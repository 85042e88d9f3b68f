#pragma once

#include "LinkRequest.h"

#include <QString>

#include <optional>

class PortDirectory;

// The port last connected, as it is known again in a later run. COM 1 to 8 is that number
// together with the device it named: it means the port again only while the same number names
// the same device, so a pseudo-terminal of an earlier emulator is never opened again. A system
// port is the USB adapter itself (vendor, product, serial number), else its /dev/serial/by-id
// name, else its path, wherever the system puts it now. A terminal server is its tcp:// name,
// under whichever COM n names it now.
class RememberedPort {
public:
    static constexpr const char *kByIdFolder = "/dev/serial/by-id";

    // byIdFolder: where udev keeps the adapters' lasting names.
    [[nodiscard]] static RememberedPort of(const PortChoice &port, const QString &byIdFolder = kByIdFolder);

    // The port number that means it now, among the ports the directory read last; 0 when none does.
    [[nodiscard]] int portNumberIn(const PortDirectory &ports) const;

    int comNumber = 0; // 1 to 8; 0 for a system port
    QString device;    // the device it opened
    std::optional<UsbIdentity> usb;
    QString byId; // the /dev/serial/by-id name that led to device, when one did

    friend bool operator==(const RememberedPort &a, const RememberedPort &b)
    {
        return a.comNumber == b.comNumber && a.device == b.device && a.usb == b.usb && a.byId == b.byId;
    }
};
