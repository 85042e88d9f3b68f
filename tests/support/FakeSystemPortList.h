#pragma once

#include "SystemPortList.h"

// The system's serial ports as a test says they are at this moment.
class FakeSystemPortList final : public SystemPortList {
public:
    [[nodiscard]] std::vector<SystemPort> availablePorts() const override { return ports; }

    std::vector<SystemPort> ports;
};
