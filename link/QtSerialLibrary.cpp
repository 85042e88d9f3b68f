#include "QtSerialLibrary.h"

#include "PortDirectory.h"
#include "PortNaming.h"

#include <QFileInfo>

#include <algorithm>

QtSerialLibrary::QtSerialLibrary(const PortDirectory &ports) : m_ports(ports)
{
    // A hang-up shows either as a resource error or, when the far end closed and reads return
    // end-of-file, as a read error that comes back every time the port is polled. Either way
    // the port is dead: closing it at once keeps the read notifier from firing without end. The
    // link then hears nothing, and the step machine times out as it does for silence. A single
    // read error between reads that bring data is not a hang-up: a terminal in raw mode also
    // reads nothing (as end-of-file does) when the notifier and a drain cross.
    QObject::connect(&m_port, &QSerialPort::errorOccurred, [this](QSerialPort::SerialPortError e) {
        if (e == QSerialPort::ResourceError ||
            (e == QSerialPort::ReadError && ++m_readErrorsInARow >= kReadErrorsOfAHangUp))
            dropAfterHangUp();
    });
    QObject::connect(&m_port, &QSerialPort::readyRead, [this] { m_readErrorsInARow = 0; });
}

QtSerialLibrary::~QtSerialLibrary()
{
    if (m_port.isOpen())
        m_port.close();
}

bool QtSerialLibrary::usable(int port) const
{
    return m_port.isOpen() && port == m_openNumber;
}

void QtSerialLibrary::dropAfterHangUp()
{
    if (m_port.isOpen())
        m_port.close();
}

int QtSerialLibrary::openPort(int port)
{
    m_openFailure = {};
    if (m_port.isOpen()) {
        m_openFailure = {m_port.portName().toStdString(), "this program has a port open already"};
        return -1;
    }
    const QString device = m_ports.devicePath(port);
    if (device.isEmpty()) {
        m_openFailure = {m_ports.label(port).toStdString(), "not found: the system no longer has this port"};
        return -2;
    }
    if (const QString problem = m_ports.nameProblem(port); !problem.isEmpty()) {
        m_openFailure = {device.toStdString(), problem.toStdString()};
        return -2;
    }
    m_port.setPortName(device);
    // A generator that floods the line cannot fill memory: what the receive ticks have not
    // taken yet waits in the driver beyond this.
    m_port.setReadBufferSize(kReadBufferBytes);
    if (!m_port.open(QIODevice::ReadWrite)) {
        m_openFailure = failureOf(device);
        return -2;
    }
    m_openNumber = port;
    m_readErrorsInARow = 0;
    return 0;
}

SerialLibrary::OpenFailure QtSerialLibrary::failureOf(const QString &device) const
{
    const std::string name = device.toStdString();
    // A device that is not there is not found, whatever else got in the way first (another
    // program's lock file of the same name, say).
    const QFileInfo file(device);
    if (!file.exists())
        return {name, nameTooLong(device) ? "the name is too long" : "not found"};
    // What a terminal's settings cannot be read or set on: a folder, a file, /dev/null.
    if (file.isDir() || file.isFile())
        return {name, "not a serial port"};
    switch (m_port.error()) {
    case QSerialPort::DeviceNotFoundError: return {name, "not found"};
    case QSerialPort::PermissionError:
        // Refused although this user may read and write it: its lock file cannot be had, being
        // another program's, or having a name no file system takes.
        if (!file.isReadable() || !file.isWritable())
            return {name, "permission denied: " + permissionAdviceFor(device)};
        if (lockFileNameTooLong(device))
            return {name, "the name is too long for the port's lock file: open it by a shorter path (a "
                          "symbolic link will do)"};
        return {name, "already in use by another program"};
    case QSerialPort::OpenError: return {name, "already open"};
    case QSerialPort::UnsupportedOperationError: return {name, "not a serial port"};
    default: return {name, m_port.errorString().toStdString()};
    }
}

int QtSerialLibrary::setLineParameters(int port, int baudCode, int modeCode)
{
    if (!usable(port) || baudCode != 13 || modeCode != 3)
        return -1;
    const bool ok = m_port.setBaudRate(QSerialPort::Baud19200) && m_port.setDataBits(QSerialPort::Data8) &&
                    m_port.setParity(QSerialPort::NoParity) && m_port.setStopBits(QSerialPort::OneStop);
    return ok ? 0 : -2;
}

int QtSerialLibrary::secondSetup(int port, int arg)
{
    // No handshake; DTR and RTS are left alone (a pseudo-terminal refuses them).
    if (!usable(port) || arg != 0)
        return -1;
    return m_port.setFlowControl(QSerialPort::NoFlowControl) ? 0 : -2;
}

int QtSerialLibrary::writeChar(int port, int ch)
{
    if (!usable(port))
        return -1;
    const char c = static_cast<char>(ch);
    if (m_port.write(&c, 1) != 1)
        return -2;
    // Push the byte out now: pacing happens between writes, not in the event loop.
    m_port.flush();
    return 0;
}

int QtSerialLibrary::readPort(int port, std::uint8_t *buffer, int maxBytes)
{
    // What the port's own notifier has taken from the driver: the thread that uses the port
    // runs a message loop of its own.
    if (!usable(port) || maxBytes <= 0)
        return 0;
    const qint64 n = m_port.read(reinterpret_cast<char *>(buffer), maxBytes);
    return n > 0 ? static_cast<int>(std::min<qint64>(n, maxBytes)) : 0;
}

int QtSerialLibrary::closePort(int port)
{
    if (port != m_openNumber || !m_port.isOpen())
        return -1;
    m_port.close();
    return 0;
}
