#pragma once

#include "LinkClock.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

class SerialLibrary;

// Puts units on the line (a command line, a framed byte) one character every 35 ms without
// holding the thread: each character is written, then a timer waits out its 35 ms while the
// message loop runs. A unit is done after its last character's wait, as the generator wants the
// next character no sooner. A write that fails ends its unit at once.
class PacedWriter {
public:
    static constexpr int kCharSpacingMs = 35;
    // written: every character of the unit was accepted by the port.
    using Done = std::function<void(bool written)>;

    PacedWriter(SerialLibrary &serial, LinkClock &clock);

    // Queued behind the unit going out, if any; otherwise its first character goes at once.
    void send(int port, std::vector<std::uint8_t> unit, Done done);
    [[nodiscard]] bool busy() const { return m_writing || !m_queue.empty(); }
    // Stops before the next character and forgets what is queued; nobody is called back.
    void cancel();

private:
    struct Unit {
        int port;
        std::vector<std::uint8_t> bytes;
        Done done;
    };

    void startNext();
    void writeNext();
    void spacingElapsed();
    void finishUnit(bool written);

    SerialLibrary &m_serial;
    LinkClock &m_clock;
    std::unique_ptr<LinkTimer> m_timer;
    std::deque<Unit> m_queue; // the front one is the unit going out while m_writing
    std::size_t m_next = 0;
    std::int64_t m_lastWriteMs = 0;
    bool m_writing = false;
    std::uint64_t m_generation = 0; // counts cancels
};
