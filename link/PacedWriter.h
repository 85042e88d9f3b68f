#pragma once

#include "LineWriter.h"
#include "LinkClock.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

class SerialLibrary;

// Paces units on the thread that uses it: each character is written, then a timer waits out its
// 35 ms while the thread's message loop runs. A unit that finds the line idle starts at once.
class PacedWriter final : public LineWriter {
public:
    PacedWriter(SerialLibrary &serial, LinkClock &clock);

    void send(int port, std::vector<std::uint8_t> unit, Answered answered, Done done) override;
    [[nodiscard]] bool busy() const override { return m_writing || !m_queue.empty(); }
    void cancel() override;

private:
    struct Unit {
        int port;
        std::vector<std::uint8_t> bytes;
        Answered answered;
        Done done;
    };

    void startNext();
    void writeNext();
    void spacingElapsed();
    void dropWhatTheLineHolds(int port);
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
