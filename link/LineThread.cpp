#include "LineThread.h"

#include "SerialLine.h"
#include "SerialPort.h"

// Stands on the line thread from the start; the port, the line's clock and the line are made
// there once the thread runs, and requests that come before wait in its queue.
class LineThread::Host final : public LineEndpoint {
public:
    Host(PortFactory makePort, int speed) : m_makePort(std::move(makePort)), m_speed(speed) {}

    void build()
    {
        m_port = m_makePort();
        m_clock = std::make_unique<QtLinkClock>(m_speed);
        m_line = std::make_unique<SerialLine>(*m_port, *m_clock);
        connect(m_line.get(), &LineEndpoint::event, this, &LineEndpoint::event);
    }
    void tearDown()
    {
        m_line.reset();
        m_clock.reset();
        m_port.reset();
    }
    void request(const LineRequest &request) override
    {
        if (m_line)
            m_line->request(request);
    }

private:
    PortFactory m_makePort;
    int m_speed;
    std::unique_ptr<SerialPort> m_port;
    std::unique_ptr<QtLinkClock> m_clock;
    std::unique_ptr<SerialLine> m_line;
};

LineThread::LineThread(PortFactory makePort, int speed) : m_clock(speed)
{
    m_thread.setObjectName(QStringLiteral("SerialLine"));
    m_host = new Host(std::move(makePort), speed);
    m_host->moveToThread(&m_thread);
    Host *host = m_host;
    // Both run on the line thread: the first before any request is taken, the last after the
    // thread's loop has ended.
    QObject::connect(
        &m_thread, &QThread::started, host, [host] { host->build(); }, Qt::DirectConnection);
    QObject::connect(
        &m_thread, &QThread::finished, host,
        [host] {
            host->tearDown();
            delete host;
        },
        Qt::DirectConnection);
    m_thread.start();
}

LineThread::~LineThread()
{
    m_thread.quit();
    m_thread.wait();
}

LineEndpoint &LineThread::line()
{
    return *m_host;
}
