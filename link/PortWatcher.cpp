#include "PortWatcher.h"

#include "SystemPortList.h"
#include "TcpSerialPort.h"

#include <QFileInfo>

PortWatcher::PortWatcher(const SystemPortList &system, LinkClock &clock)
    : m_system(system), m_timer(clock.makeTimer(LinkClock::Repeat::Every, [this] { look(); }))
{
}

void PortWatcher::watch(const PortChoice &port)
{
    m_watched = port;
    m_canonical = QFileInfo(port.device).canonicalFilePath();
    m_gone = false;
    m_looks = 0;
    m_timer->start(kLookMs);
}

void PortWatcher::stop()
{
    m_timer->stop();
    m_watched.reset();
}

void PortWatcher::look()
{
    if (!m_watched)
        return;
    ++m_looks;
    PortChoice port = *m_watched;
    if (TcpSerialPort::isTcpName(port.device)) {
        if (m_looks % (kServerRetryMs / kLookMs) == 0)
            emit returned(port);
        return;
    }
    // The adapter itself, wherever the system has put it now.
    if (port.usb) {
        for (const SystemPort &p : m_system.availablePorts()) {
            if (!sameAdapter(p, *port.usb))
                continue;
            if (p.location != port.device || m_gone) {
                port.device = p.location;
                port.label = p.systemName;
                emit returned(port);
                return;
            }
            return;
        }
        m_gone = true;
        return;
    }
    // Its path: back once it leads somewhere again after it was gone, or somewhere else.
    const QString canonical = QFileInfo(port.device).canonicalFilePath();
    if (canonical.isEmpty()) {
        m_gone = true;
        return;
    }
    if (m_gone || canonical != m_canonical)
        emit returned(port);
}
