#include "DeviceLink.h"

#include "LinkClock.h"
#include "LinkMessages.h"
#include "LinkOperator.h"
#include "PortDirectory.h"
#include "SerialLibrary.h"

#include <algorithm>
#include <cstring>

DeviceLink::DeviceLink(DeviceLinkState &state, SerialLibrary &serial, LinkClock &clock, LinkOperator &ui)
    : m_state(state), m_serial(serial), m_clock(clock), m_ui(ui)
{
}

bool DeviceLink::OpenLink(int itemIndex)
{
    m_state.portNumber = static_cast<std::uint8_t>(itemIndex + 1);
    if (m_serial.openPort(m_state.portNumber) != 0) {
        const std::string label = m_ports != nullptr ? m_ports->label(m_state.portNumber).toStdString()
                                                     : std::to_string(m_state.portNumber);
        m_ui.showMessage("Open COM Port " + label + " fail !!");
        ClosePort();
        return true;
    }
    if (!ConfigureLink()) {
        ClosePort();
        return true;
    }
    return false;
}

bool DeviceLink::ConfigureLink()
{
    if (m_serial.setLineParameters(m_state.portNumber, kBaudCode19200, kMode8N1) != 0) {
        m_ui.showMessage(LinkMessages::Error);
        return false;
    }
    if (m_serial.secondSetup(m_state.portNumber, 0) != 0) {
        m_ui.showMessage(LinkMessages::ErrorPlain);
        return false;
    }
    return true;
}

void DeviceLink::ClosePort()
{
    m_serial.closePort(m_state.portNumber);
}

void DeviceLink::WaitMs(int ms)
{
    m_clock.waitMs(ms);
}

void DeviceLink::writePaced(std::uint8_t ch)
{
    m_serial.writeChar(m_state.portNumber, ch);
    WaitMs(kCharSpacingMs);
}

void DeviceLink::resetAfterSend()
{
    m_state.ackTicks = 0;
    m_state.replyTicks = 0;
    m_state.replyLength = 0;
}

void DeviceLink::SendCommand(const char *text, std::uint8_t argument)
{
    for (const char *p = text; *p != '\0'; ++p)
        writePaced(static_cast<std::uint8_t>(*p));
    for (std::uint8_t ch :
         {std::uint8_t{0x20}, argument, std::uint8_t{0x20}, std::uint8_t{0x0A}, std::uint8_t{0x0D}})
        writePaced(ch);
    resetAfterSend();
}

void DeviceLink::SendFramedByte(std::uint8_t value)
{
    writePaced(0x20);
    writePaced(value);
    writePaced(0x20);
    resetAfterSend();
}

bool DeviceLink::CheckReply(Operation op)
{
    // Only the bytes collected since the last reset count: an earlier answer must never
    // acknowledge a later command.
    const char *wanted = operationInfo(op).acknowledgment;
    const std::size_t wantedLength = std::strlen(wanted);
    const std::size_t length = std::min<std::size_t>(m_state.replyLength, kLinkBufferSize);
    const auto begin = m_state.replyBuffer.begin();
    const auto end = begin + static_cast<std::ptrdiff_t>(length);
    const bool found =
        length >= wantedLength && std::search(begin, end, wanted, wanted + wantedLength) != end;

    m_state.replyBuffer.fill(0);
    m_state.replyLength = 0;
    return !found;
}

bool DeviceLink::LinkBusy() const
{
    return std::any_of(kAllOperations.begin(), kAllOperations.end(),
                       [this](Operation op) { return m_state.step(op) != Idle; });
}

namespace {
void countTick(std::uint8_t &ticks)
{
    // Saturate: a counter that wrapped would postpone a time-out by 25 s.
    if (ticks < 255)
        ++ticks;
}
} // namespace

void DeviceLink::receiveTick()
{
    if (m_state.portOpen == 0)
        return;

    int n = m_serial.readPort(m_state.portNumber, m_state.receiveBuffer.data(),
                              static_cast<int>(kLinkBufferSize));

    bool anyAwaitingAck = false;
    bool anyAwaitingReply = false;
    for (Operation op : kAllOperations) {
        const std::uint8_t s = m_state.step(op);
        if (s == AwaitAck)
            anyAwaitingAck = true;
        if (s == AwaitReply)
            anyAwaitingReply = true;
    }
    // An EDID read waits at step 5 for each whole block answer; count that wait too, so a
    // generator that stops mid-read runs into a time-out instead of stalling the link.
    if (m_state.stepREDID == ReplyIn && m_state.replyLength < kEdidBlockAnswerLength)
        anyAwaitingReply = true;
    if (anyAwaitingAck)
        countTick(m_state.ackTicks);
    if (anyAwaitingReply)
        countTick(m_state.replyTicks);

    if (n <= 0)
        return;
    n = std::min(n, static_cast<int>(kLinkBufferSize));

    m_ui.appendReceiveLog(m_state.receiveBuffer.data(), static_cast<std::size_t>(n));

    // Bytes past the end of the reply buffer are dropped.
    const std::size_t room = kLinkBufferSize - std::min<std::size_t>(m_state.replyLength, kLinkBufferSize);
    const std::size_t taken = std::min<std::size_t>(room, static_cast<std::size_t>(n));
    std::memcpy(m_state.replyBuffer.data() + m_state.replyLength, m_state.receiveBuffer.data(), taken);
    m_state.replyLength += static_cast<std::uint32_t>(taken);

    if (m_state.replyLength == 0)
        return;
    for (Operation op : kAllOperations) {
        std::uint8_t &s = m_state.step(op);
        if (s == AwaitAck)
            s = AckIn;
        else if (s == AwaitReply)
            s = ReplyIn;
    }
}

void DeviceLink::ShowDevicePresent()
{
    m_state.devicePresent = 1;
    m_ui.showDevicePresent();
}

void DeviceLink::ShowDeviceAbsent()
{
    m_state.devicePresent = 0;
    m_ui.showDeviceAbsent();
    setProgress(0);
}

void DeviceLink::setProgress(int percent)
{
    m_progress = percent;
    m_ui.setProgress(percent);
}
