#include "SwitchingSerialLibrary.h"

#include "PortDirectory.h"

SwitchingSerialLibrary::SwitchingSerialLibrary(const PortDirectory &ports)
    : m_ports(ports), m_device(ports), m_tcp(ports)
{
}

int SwitchingSerialLibrary::openPort(int port)
{
    if (m_openNumber == 0)
        m_chosen = TcpSerialLibrary::isTcpName(m_ports.devicePath(port))
                       ? static_cast<SerialLibrary *>(&m_tcp)
                       : &m_device;
    const int result = m_chosen->openPort(port);
    if (result == 0)
        m_openNumber = port;
    return result;
}

int SwitchingSerialLibrary::setLineParameters(int port, int baudCode, int modeCode)
{
    return m_chosen->setLineParameters(port, baudCode, modeCode);
}

int SwitchingSerialLibrary::secondSetup(int port, int arg)
{
    return m_chosen->secondSetup(port, arg);
}

int SwitchingSerialLibrary::writeChar(int port, int ch)
{
    return m_chosen->writeChar(port, ch);
}

int SwitchingSerialLibrary::readPort(int port, std::uint8_t *buffer, int maxBytes)
{
    return m_chosen->readPort(port, buffer, maxBytes);
}

int SwitchingSerialLibrary::closePort(int port)
{
    if (port == m_openNumber)
        m_openNumber = 0;
    return m_chosen->closePort(port);
}
