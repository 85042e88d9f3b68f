#include "QtSerialPort.h"

#include "DeviceLock.h"
#include "PortNaming.h"

#include <QFileInfo>

#include <algorithm>

QtSerialPort::QtSerialPort()
{
    // A hang-up shows either as a resource error or, when the far end closed and reads return
    // end-of-file, as a read error that comes back every time the port is polled. Either way
    // the port is dead: closing it at once keeps the read notifier from firing without end. A
    // single read error between reads that bring data is not a hang-up: a terminal in raw mode
    // also reads nothing (as end-of-file does) when the notifier and a drain cross.
    QObject::connect(&m_port, &QSerialPort::errorOccurred, [this](QSerialPort::SerialPortError e) {
        if (e == QSerialPort::ResourceError)
            hungUp("the device went away");
        else if (e == QSerialPort::ReadError && ++m_readErrorsInARow >= kReadErrorsOfAHangUp)
            hungUp("the far end closed the line");
    });
    QObject::connect(&m_port, &QSerialPort::readyRead, [this] { m_readErrorsInARow = 0; });
}

QtSerialPort::~QtSerialPort()
{
    if (m_port.isOpen())
        m_port.close();
}

void QtSerialPort::hungUp(const std::string &why)
{
    m_gone = true;
    m_error = why;
    if (m_port.isOpen())
        m_port.close();
}

void QtSerialPort::open(const QString &device, OpenDone done)
{
    close();
    m_gone = false;
    m_error.clear();
    m_readErrorsInARow = 0;
    m_port.setPortName(device);
    // A generator that floods the line cannot fill memory: what the line thread has not taken
    // yet waits in the driver beyond this.
    m_port.setReadBufferSize(kReadBufferBytes);
    OpenError error;
    if (!m_port.open(QIODevice::ReadWrite)) {
        error = failureOf(device);
        m_error = error.reason;
        done(false, error);
        return;
    }
    // Refused before anything is sent when another program holds the device, by whatever name.
    if (const std::string held = holdExclusively(static_cast<int>(m_port.handle())); !held.empty()) {
        m_port.close();
        m_error = held;
        done(false, OpenError{OpenError::Stage::Open, device.toStdString(), held});
        return;
    }
    if (!configure(error)) {
        m_port.close();
        m_error = error.reason;
        done(false, error);
        return;
    }
    done(true, {});
}

bool QtSerialPort::configure(OpenError &error)
{
    error.device = m_port.portName().toStdString();
    if (!(m_port.setBaudRate(QSerialPort::Baud19200) && m_port.setDataBits(QSerialPort::Data8) &&
          m_port.setParity(QSerialPort::NoParity) && m_port.setStopBits(QSerialPort::OneStop))) {
        error.stage = OpenError::Stage::LineParameters;
        error.reason = m_port.errorString().toStdString();
        return false;
    }
    // No handshake; DTR and RTS are left alone (a pseudo-terminal refuses them).
    if (!m_port.setFlowControl(QSerialPort::NoFlowControl)) {
        error.stage = OpenError::Stage::SecondSetup;
        error.reason = m_port.errorString().toStdString();
        return false;
    }
    return true;
}

OpenError QtSerialPort::failureOf(const QString &device) const
{
    const auto failed = [&device](std::string reason) {
        return OpenError{OpenError::Stage::Open, device.toStdString(), std::move(reason)};
    };
    // A device that is not there is not found, whatever else got in the way first (another
    // program's lock file of the same name, say).
    const QFileInfo file(device);
    if (!file.exists())
        return failed(nameTooLong(device) ? "the name is too long" : "not found");
    // What a terminal's settings cannot be read or set on: a folder, a file, /dev/null.
    if (file.isDir() || file.isFile())
        return failed("not a serial port");
    switch (m_port.error()) {
    case QSerialPort::DeviceNotFoundError: return failed("not found");
    case QSerialPort::PermissionError:
        // Refused although this user may read and write it: its lock file cannot be had, being
        // another program's, or having a name no file system takes.
        if (!file.isReadable() || !file.isWritable())
            return failed("permission denied: " + permissionAdviceFor(device));
        if (lockFileNameTooLong(device))
            return failed("the name is too long for the port's lock file: open it by a shorter path (a "
                          "symbolic link will do)");
        return failed(inUseBy(lockFileHolder(device)));
    case QSerialPort::OpenError: return failed("already open");
    case QSerialPort::UnsupportedOperationError: return failed("not a serial port");
    default: return failed(m_port.errorString().toStdString());
    }
}

bool QtSerialPort::write(std::uint8_t byte)
{
    if (!m_port.isOpen())
        return false;
    const char c = static_cast<char>(byte);
    if (m_port.write(&c, 1) != 1) {
        m_error = m_port.errorString().toStdString();
        return false;
    }
    // Out now: the pacing happens between writes, not in the message loop.
    m_port.flush();
    return true;
}

int QtSerialPort::read(std::uint8_t *buffer, int maxBytes)
{
    if (m_gone)
        return -1;
    if (!m_port.isOpen() || maxBytes <= 0)
        return 0;
    const qint64 n = m_port.read(reinterpret_cast<char *>(buffer), maxBytes);
    return n > 0 ? static_cast<int>(std::min<qint64>(n, maxBytes)) : 0;
}

void QtSerialPort::close()
{
    m_gone = false;
    if (m_port.isOpen())
        m_port.close();
}
