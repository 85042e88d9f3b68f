#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// What puts units on the line (a command line, a framed byte): one character every 35 ms, never
// holding the caller. Each unit's done is called on the caller's thread once its last character's
// 35 ms are over, or at once when a write fails; a cancelled unit is never called back.
class LineWriter {
public:
    static constexpr int kCharSpacingMs = 35;
    // written: every character of the unit was accepted by the port.
    using Done = std::function<void(bool written)>;

    virtual ~LineWriter() = default;
    // Whether what arrives while a unit goes out can be its answer. An answer cannot begin before
    // the generator has the whole of what it answers, so for a unit that is answered what the
    // line holds is dropped just before its last character goes out.
    enum class Answered { No, Yes };

    // Queued behind the unit going out, if any.
    virtual void send(int port, std::vector<std::uint8_t> unit, Answered answered, Done done) = 0;
    [[nodiscard]] virtual bool busy() const = 0;
    // Stops before the next character and forgets what is queued.
    virtual void cancel() = 0;
};
