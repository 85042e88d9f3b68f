#pragma once

#include <QSocketNotifier>

#include <array>
#include <csignal>
#include <functional>
#include <memory>

// SIGHUP, SIGINT and SIGTERM turned into bytes on a pipe, so that the message loop hears of
// them and ends the program as its own close does (a handler may do next to nothing safely).
// One per process; the signals' earlier handling comes back when it goes.
class SignalPipe {
public:
    SignalPipe() = default;
    ~SignalPipe();
    SignalPipe(const SignalPipe &) = delete;
    SignalPipe &operator=(const SignalPipe &) = delete;

    // From now on received runs in the message loop with the signal's number (the last one,
    // when several came at once).
    [[nodiscard]] bool install(std::function<void(int signal)> received);

    // "SIGINT", "SIGTERM", "SIGHUP".
    [[nodiscard]] static const char *nameOf(int signal);

    static constexpr std::array<int, 3> kSignals = {SIGHUP, SIGINT, SIGTERM};

private:
    static inline std::array<int, 2> s_fds{-1, -1};
    std::array<struct sigaction, kSignals.size()> m_previous{};
    bool m_installed = false;
    std::function<void(int)> m_received;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
