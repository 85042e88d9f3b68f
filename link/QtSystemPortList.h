#pragma once

#include "SystemPortList.h"

// The system's serial ports through QSerialPortInfo.
class QtSystemPortList final : public SystemPortList {
public:
    [[nodiscard]] std::vector<SystemPort> availablePorts() const override;
};
