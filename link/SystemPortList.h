#pragma once

#include "SystemPort.h"

#include <vector>

// The serial ports the system has at this moment. Production asks Qt; tests give a list.
class SystemPortList {
public:
    virtual ~SystemPortList() = default;
    [[nodiscard]] virtual std::vector<SystemPort> availablePorts() const = 0;
};
