#include "SignalPipe.h"

#include <fcntl.h>
#include <unistd.h>

SignalPipe::~SignalPipe()
{
    if (m_installed)
        for (std::size_t i = 0; i < kSignals.size(); ++i)
            sigaction(kSignals[i], &m_previous[i], nullptr);
    m_notifier.reset();
    for (int &fd : s_fds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

bool SignalPipe::install(std::function<void(int)> received)
{
    if (s_fds[0] >= 0 || ::pipe(s_fds.data()) != 0)
        return false;
    for (int fd : s_fds)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    m_received = std::move(received);
    m_notifier = std::make_unique<QSocketNotifier>(s_fds[0], QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] {
        int last = 0;
        char buffer[16];
        ssize_t n = 0;
        while ((n = ::read(s_fds[0], buffer, sizeof buffer)) > 0)
            last = buffer[n - 1];
        if (last != 0)
            m_received(last);
    });
    struct sigaction action {};
    action.sa_handler = [](int number) {
        const auto byte = static_cast<char>(number);
        [[maybe_unused]] const ssize_t n = ::write(s_fds[1], &byte, 1);
    };
    sigemptyset(&action.sa_mask);
    m_installed = true;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        if (sigaction(kSignals[i], &action, &m_previous[i]) != 0)
            return false;
    return true;
}

const char *SignalPipe::nameOf(int signal)
{
    switch (signal) {
    case SIGHUP: return "SIGHUP";
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    default: return "a signal";
    }
}
