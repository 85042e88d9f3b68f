#pragma once

#include <QString>

#include <optional>

// One serial port as the system reports it.
struct SystemPort {
    QString systemName; // "ttyUSB0", "COM12"
    QString location;   // the device it opens: "/dev/ttyUSB0", "\\.\COM12"
    QString description;
    QString manufacturer;
    QString serialNumber;
    std::optional<quint16> vendorId; // USB ids, when the port has them
    std::optional<quint16> productId;
};
