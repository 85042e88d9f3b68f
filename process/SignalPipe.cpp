#include "SignalPipe.h"

bool SignalPipe::install(std::function<void(int)> received)
{
    if (!m_relay.install())
        return false;
    m_received = std::move(received);
    m_notifier = std::make_unique<QSocketNotifier>(m_relay.descriptor(), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] {
        if (const int last = m_relay.takeLast(); last != 0)
            m_received(last);
    });
    return true;
}
