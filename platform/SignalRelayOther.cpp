#include "SignalRelay.h"

#include <csignal>

// Standard C++ has no pipe for a handler to write to: the signals keep their own handling, and a
// program ends on them as it always would there.
SignalRelay::~SignalRelay() = default;

bool SignalRelay::install()
{
    return m_installed;
}

int SignalRelay::descriptor() const
{
    return -1;
}

int SignalRelay::takeLast()
{
    return 0;
}

const char *SignalRelay::nameOf(int signal)
{
    switch (signal) {
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    default: return "a signal";
    }
}
