#pragma once

#include <cstdint>
#include <string>

// The six serial operations the link relies on, with the integer results it tests.
// Port numbers are COM numbers, 1 to 8.
class SerialLibrary {
public:
    virtual ~SerialLibrary() = default;

    // 0 = opened; anything else = failure.
    [[nodiscard]] virtual int openPort(int port) = 0;
    // baudCode 13 = 19200 baud, modeCode 3 = 8 data bits, no parity, one stop bit. 0 = done.
    [[nodiscard]] virtual int setLineParameters(int port, int baudCode, int modeCode) = 0;
    // 0 = done.
    [[nodiscard]] virtual int secondSetup(int port, int arg) = 0;
    // 0 = accepted; anything else means the port is gone, and the link stops sending.
    virtual int writeChar(int port, int ch) = 0;
    // Never waits. Count of bytes placed in buffer (at most maxBytes); 0 or less = nothing.
    [[nodiscard]] virtual int readPort(int port, std::uint8_t *buffer, int maxBytes) = 0;
    virtual int closePort(int port) = 0;

    // Why the last openPort failed, for the operator: the device it tried and the reason in
    // plain words. Empty where the layer cannot tell.
    struct OpenFailure {
        std::string device;
        std::string reason;
    };
    [[nodiscard]] virtual OpenFailure lastOpenFailure() const { return {}; }
};
