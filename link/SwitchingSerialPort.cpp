#include "SwitchingSerialPort.h"

void SwitchingSerialPort::open(const QString &device, OpenDone done)
{
    m_chosen->close();
    m_chosen = TcpSerialPort::isTcpName(device) ? static_cast<SerialPort *>(&m_tcp) : &m_device;
    m_chosen->open(device, std::move(done));
}
