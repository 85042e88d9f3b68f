#include "SignalRelay.h"

#include <array>
#include <csignal>
#include <cstddef>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 3> kSignals = {SIGHUP, SIGINT, SIGTERM};

// Process-wide, as signal handling is: the handler can reach nothing else.
std::array<int, 2> s_fds{-1, -1};
std::array<struct sigaction, kSignals.size()> s_previous{};

} // namespace

SignalRelay::~SignalRelay()
{
    if (!m_installed)
        return;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &s_previous[i], nullptr);
    for (int &fd : s_fds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

bool SignalRelay::install()
{
    if (s_fds[0] >= 0 || ::pipe(s_fds.data()) != 0)
        return false;
    for (int fd : s_fds)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    struct sigaction action {};
    action.sa_handler = [](int number) {
        const auto byte = static_cast<char>(number);
        [[maybe_unused]] const ssize_t n = ::write(s_fds[1], &byte, 1);
    };
    sigemptyset(&action.sa_mask);
    m_installed = true;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        if (sigaction(kSignals[i], &action, &s_previous[i]) != 0)
            return false;
    return true;
}

int SignalRelay::descriptor() const
{
    return m_installed ? s_fds[0] : -1;
}

int SignalRelay::takeLast()
{
    int last = 0;
    char buffer[16];
    ssize_t n = 0;
    while (m_installed && (n = ::read(s_fds[0], buffer, sizeof buffer)) > 0)
        last = buffer[n - 1];
    return last;
}

const char *SignalRelay::nameOf(int signal)
{
    switch (signal) {
    case SIGHUP: return "SIGHUP";
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    default: return "a signal";
    }
}
