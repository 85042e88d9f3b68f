#include "RememberedPort.h"

#include "PortDirectory.h"
#include "PortNaming.h"
#include "TcpSerialPort.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The name in folder that leads to device, by the device's real path; empty when none does.
QString byIdNameOf(const QString &device, const QString &folder)
{
    const QString real = QFileInfo(device).canonicalFilePath();
    if (real.isEmpty())
        return {};
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::System | QDir::Files, QDir::Name)) {
        const QString link = dir.filePath(name);
        if (QFileInfo(link).canonicalFilePath() == real)
            return link;
    }
    return {};
}

bool sameDevice(const SystemPort &port, const QString &canonical)
{
    return !canonical.isEmpty() && QFileInfo(port.location).canonicalFilePath() == canonical;
}

} // namespace

RememberedPort RememberedPort::of(const PortChoice &port, const QString &byIdFolder)
{
    RememberedPort remembered;
    remembered.device = port.device;
    if (port.number >= 1 && port.number <= PortDirectory::kComPorts) {
        remembered.comNumber = port.number;
        return remembered;
    }
    remembered.usb = port.usb;
    if (!TcpSerialPort::isTcpName(port.device))
        remembered.byId = byIdNameOf(port.device, byIdFolder);
    return remembered;
}

int RememberedPort::portNumberIn(const PortDirectory &ports) const
{
    if (device.isEmpty())
        return 0;
    if (comNumber != 0) {
        const auto names = [this](int n) {
            const PortName name = comPortName(n);
            return name.problem.isEmpty() && name.device == device;
        };
        if (comNumber >= 1 && comNumber <= PortDirectory::kComPorts && names(comNumber))
            return comNumber;
        // A terminal server's name means the same server whichever number carries it.
        if (TcpSerialPort::isTcpName(device))
            for (int n = 1; n <= PortDirectory::kComPorts; ++n)
                if (names(n))
                    return n;
        return 0;
    }
    const QString byIdTarget = byId.isEmpty() ? QString() : QFileInfo(byId).canonicalFilePath();
    // An adapter known by its lasting name is not there while the name leads nowhere, whatever
    // took its old path meanwhile.
    if (!usb && !byId.isEmpty() && byIdTarget.isEmpty())
        return 0;
    for (const SystemPort &port : ports.systemPorts()) {
        const bool found = usb                     ? sameAdapter(port, *usb)
                           : !byIdTarget.isEmpty() ? sameDevice(port, byIdTarget)
                                                   : port.location == device;
        if (!found)
            continue;
        if (const int com = ports.comNumberOf(port); com != 0)
            return com;
        return ports.portNumberOf(port.systemName);
    }
    return 0;
}
