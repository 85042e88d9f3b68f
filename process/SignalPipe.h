#pragma once

#include "SignalRelay.h"

#include <QSocketNotifier>

#include <functional>
#include <memory>

// SIGHUP, SIGINT and SIGTERM heard in the message loop, so that a program ends on them as its
// own close does: the platform's relay puts them on a pipe, and a notifier reads it.
class SignalPipe {
public:
    // From now on received runs in the message loop with the signal's number (the last one,
    // when several came at once).
    [[nodiscard]] bool install(std::function<void(int signal)> received);

private:
    // Declared before the notifier, so that the notifier goes first.
    SignalRelay m_relay;
    std::function<void(int)> m_received;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
