#pragma once

#include "LineTypes.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <string>

// One serial line as the line thread uses it: open, write, read, close. Results are a bool (or a
// count) with the reason beside it, as Qt's own devices give them. Made, used and destroyed on
// one thread that runs a message loop.
class SerialPort {
public:
    // ok, or why not (the device tried, the step that failed and the reason).
    using OpenDone = std::function<void(bool ok, const OpenError &error)>;

    virtual ~SerialPort() = default;

    // Opens device at 19200 baud, 8 data bits, no parity, one stop bit, no handshake. done is
    // called once, at once or later from the message loop (a terminal server takes a while); a
    // close() before then cancels the open, and done is not called.
    virtual void open(const QString &device, OpenDone done) = 0;
    // One character, handed to the line now. False when the port is closed or gone.
    [[nodiscard]] virtual bool write(std::uint8_t byte) = 0;
    // Never waits: the count of bytes placed in buffer, 0 when nothing has come, -1 once the far
    // end has gone away (errorString says how); a port that is not open reads 0.
    [[nodiscard]] virtual int read(std::uint8_t *buffer, int maxBytes) = 0;
    virtual void close() = 0;
    [[nodiscard]] virtual std::string errorString() const = 0;
};
