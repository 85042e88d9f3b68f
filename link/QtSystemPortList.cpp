#include "QtSystemPortList.h"

#include <QSerialPortInfo>

std::vector<SystemPort> QtSystemPortList::availablePorts() const
{
    std::vector<SystemPort> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        SystemPort port{info.portName(),     info.systemLocation(), info.description(), info.manufacturer(),
                        info.serialNumber(), std::nullopt,          std::nullopt};
        if (info.hasVendorIdentifier())
            port.vendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            port.productId = info.productIdentifier();
        ports.push_back(port);
    }
    return ports;
}
