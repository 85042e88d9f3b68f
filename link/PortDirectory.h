#pragma once

#include "LinkRequest.h"
#include "SystemPort.h"

#include <QString>

#include <vector>

class SystemPortList;

// Port numbers and the devices they open. 1 to 8 are COM 1 to COM 8 (comPortName); from 9 on,
// in the system's order, come the serial ports it reported at the last refresh() that none of
// COM 1 to 8 names. The COM port dialog and the serial layer share one, so a number the dialog
// hands over opens the very device it listed, never whatever took its place since.
class PortDirectory {
public:
    static constexpr int kComPorts = 8;
    // Port numbers are one byte in the link state.
    static constexpr int kLastPortNumber = 255;

    explicit PortDirectory(const SystemPortList &system);

    // Reads the system's list anew.
    void refresh();
    // Every port number opens this device instead, and is known by its path (sgxctl --port PATH).
    void useDevice(const QString &device) { m_override = device; }

    // Everything the system reported at the last refresh, COM 1 to 8 included.
    [[nodiscard]] const std::vector<SystemPort> &systemPorts() const { return m_reported; }
    // The ports from 9 on: number kComPorts + 1 + i.
    [[nodiscard]] const std::vector<SystemPort> &addedPorts() const { return m_added; }

    // The device a port number opens; empty when the number names none.
    [[nodiscard]] QString devicePath(int portNumber) const;
    // Why the device of a port number cannot be opened as named (see PortName); empty when it can.
    [[nodiscard]] QString nameProblem(int portNumber) const;
    // How the operator knows the port: "3" for COM 3, the system name from 9 on.
    [[nodiscard]] QString label(int portNumber) const;
    // The number with its device and label, as the link opens it.
    [[nodiscard]] PortChoice choice(int portNumber) const;
    // The number of the added port of that system name; 0 when the system no longer has it.
    [[nodiscard]] int portNumberOf(const QString &systemName) const;
    // The USB adapter a device is, when the system says so and the adapter has a serial number.
    [[nodiscard]] std::optional<UsbIdentity> usbIdentityOf(const QString &device) const;
    // Which COM n (1 to 8) names the device of a system port; 0 when none does.
    [[nodiscard]] int comNumberOf(const SystemPort &port) const;

private:
    const SystemPortList &m_system;
    std::vector<SystemPort> m_reported;
    std::vector<SystemPort> m_added;
    QString m_override;
};
