#include "PortDirectory.h"

#include "PortNaming.h"
#include "SystemPortList.h"

#include <QFileInfo>

namespace {

// Whether a COM name (a path, or a Windows port name) means this port's device; a symbolic link
// such as /dev/serial/by-id/... counts as the device it points to.
bool names(const QString &device, const SystemPort &port)
{
    if (device.isEmpty())
        return false;
    if (device == port.location || device == port.systemName)
        return true;
    const QString resolved = QFileInfo(device).canonicalFilePath();
    return !resolved.isEmpty() && resolved == QFileInfo(port.location).canonicalFilePath();
}

} // namespace

PortDirectory::PortDirectory(const SystemPortList &system) : m_system(system) {}

void PortDirectory::refresh()
{
    m_reported = m_system.availablePorts();
    m_added.clear();
    for (const SystemPort &port : m_reported) {
        if (comNumberOf(port) != 0 || port.location.isEmpty())
            continue;
        if (kComPorts + static_cast<int>(m_added.size()) == kLastPortNumber)
            break;
        m_added.push_back(port);
    }
}

QString PortDirectory::devicePath(int portNumber) const
{
    if (!m_override.isEmpty())
        return m_override;
    if (portNumber >= 1 && portNumber <= kComPorts)
        return comPortName(portNumber).device;
    const int i = portNumber - kComPorts - 1;
    if (i >= 0 && i < static_cast<int>(m_added.size()))
        return m_added[static_cast<std::size_t>(i)].location;
    return {};
}

QString PortDirectory::nameProblem(int portNumber) const
{
    if (!m_override.isEmpty() || portNumber < 1 || portNumber > kComPorts)
        return {};
    return comPortName(portNumber).problem;
}

QString PortDirectory::label(int portNumber) const
{
    if (!m_override.isEmpty())
        return m_override;
    const int i = portNumber - kComPorts - 1;
    if (i >= 0 && i < static_cast<int>(m_added.size()))
        return m_added[static_cast<std::size_t>(i)].systemName;
    return QString::number(portNumber);
}

int PortDirectory::portNumberOf(const QString &systemName) const
{
    for (std::size_t i = 0; i < m_added.size(); ++i)
        if (!systemName.isEmpty() && m_added[i].systemName == systemName)
            return kComPorts + 1 + static_cast<int>(i);
    return 0;
}

int PortDirectory::comNumberOf(const SystemPort &port) const
{
    for (int n = 1; n <= kComPorts; ++n) {
        const PortName name = comPortName(n);
        if (name.problem.isEmpty() && names(name.device, port))
            return n;
    }
    return 0;
}

PortChoice PortDirectory::choice(int portNumber) const
{
    const QString device = devicePath(portNumber);
    return {portNumber, device, label(portNumber), usbIdentityOf(device), nameProblem(portNumber)};
}

std::optional<UsbIdentity> PortDirectory::usbIdentityOf(const QString &device) const
{
    for (const SystemPort &port : m_reported)
        if (names(device, port) && port.vendorId && port.productId && !port.serialNumber.isEmpty())
            return UsbIdentity{*port.vendorId, *port.productId, port.serialNumber};
    return std::nullopt;
}
