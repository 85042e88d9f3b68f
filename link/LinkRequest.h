#pragma once

#include "DeviceLinkState.h"
#include "SystemPort.h"

#include <QMetaType>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// What a window asks of the link: start an operation by the start rule, or hand an operation
// that waits for its acknowledgment the table it is to send.
struct LinkRequest {
    enum class Kind : std::uint8_t { Start, HandOver };
    Kind kind = Kind::Start;
    Operation op = Operation::URTCNT;
    // Start "ATRN": the program, one row of four bytes per step in the order they go on the line.
    // HandOver "TMGS"/"PTNS": the flags the window's Upload accepted (closing clears its own).
    std::vector<std::uint8_t> table;
};

// A USB adapter as itself, whatever name the system gives it each time it is plugged in.
struct UsbIdentity {
    quint16 vendorId = 0;
    quint16 productId = 0;
    QString serialNumber;
    friend bool operator==(const UsbIdentity &a, const UsbIdentity &b)
    {
        return a.vendorId == b.vendorId && a.productId == b.productId && a.serialNumber == b.serialNumber;
    }
};

// Whether the system's port sits on that adapter.
[[nodiscard]] inline bool sameAdapter(const SystemPort &port, const UsbIdentity &usb)
{
    return port.vendorId && port.productId && *port.vendorId == usb.vendorId && *port.productId == usb.productId &&
           port.serialNumber == usb.serialNumber;
}

// A port the operator chose: its number, the device it opens and how the operator knows it;
// for a USB adapter with a serial number, which adapter it is.
struct PortChoice {
    int number = 0;
    QString device;
    QString label;
    std::optional<UsbIdentity> usb;
    // Why device cannot be opened as named (a name that is not UTF-8); empty when it can.
    QString problem;

    // A port known by its device alone (sgxctl --port PATH, tests).
    [[nodiscard]] static PortChoice named(int number, const QString &device, const QString &label)
    {
        PortChoice port;
        port.number = number;
        port.device = device;
        port.label = label;
        return port;
    }
};

Q_DECLARE_METATYPE(LinkRequest)
