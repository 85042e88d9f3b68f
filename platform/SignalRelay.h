#pragma once

// SIGHUP, SIGINT and SIGTERM written as their numbers onto a pipe by a handler that does nothing
// else (a handler may do next to nothing safely), for a message loop to read. One per process;
// the signals' earlier handling comes back when it goes.
class SignalRelay {
public:
    SignalRelay() = default;
    ~SignalRelay();
    SignalRelay(const SignalRelay &) = delete;
    SignalRelay &operator=(const SignalRelay &) = delete;

    // False where the signals cannot be heard (another relay lives, or the system has no pipe).
    [[nodiscard]] bool install();
    // The end to watch for reading; -1 before install.
    [[nodiscard]] int descriptor() const;
    // Empties the pipe: the last signal's number, 0 when none came.
    [[nodiscard]] int takeLast();

    // "SIGINT", "SIGTERM", "SIGHUP".
    [[nodiscard]] static const char *nameOf(int signal);

private:
    bool m_installed = false;
};
