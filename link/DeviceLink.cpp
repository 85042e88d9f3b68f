#include "DeviceLink.h"

#include "LinkClock.h"
#include "LinkOperator.h"
#include "Outcome.h"
#include "PortDirectory.h"
#include "SerialLibrary.h"
#include "ShownName.h"

#include <algorithm>
#include <cstring>

DeviceLink::DeviceLink(DeviceLinkState &state, SerialLibrary &serial, LineWriter &writer, LinkClock &clock,
                       LinkOperator &ui)
    : m_state(state), m_serial(serial), m_clock(clock), m_ui(ui), m_writer(writer)
{
}

DeviceLink::~DeviceLink()
{
    // A unit still going out must not report to a link that is gone.
    m_writer.cancel();
}

bool DeviceLink::OpenLink(int itemIndex)
{
    m_state.portNumber = static_cast<std::uint8_t>(itemIndex + 1);
    if (m_serial.openPort(m_state.portNumber) != 0) {
        const std::string label = m_ports != nullptr ? m_ports->label(m_state.portNumber).toStdString()
                                                     : std::to_string(m_state.portNumber);
        const SerialLibrary::OpenFailure failure = m_serial.lastOpenFailure();
        m_ui.showMessage(openFailedMessage(shownName(label)),
                         failure.reason.empty() ? std::string()
                                                : shownName(failure.device) + ": " + failure.reason);
        ClosePort();
        return false;
    }
    if (!ConfigureLink()) {
        ClosePort();
        return false;
    }
    return true;
}

bool DeviceLink::ConfigureLink()
{
    if (m_serial.setLineParameters(m_state.portNumber, kBaudCode19200, kMode8N1) != 0) {
        m_ui.showMessage(kLineParametersFailedMessage, {});
        return false;
    }
    if (m_serial.secondSetup(m_state.portNumber, 0) != 0) {
        m_ui.showMessage(kSecondSetupFailedMessage, {});
        return false;
    }
    return true;
}

void DeviceLink::ClosePort()
{
    m_writer.cancel();
    m_receiveLate = false;
    m_serial.closePort(m_state.portNumber);
}

void DeviceLink::sendUnit(std::vector<std::uint8_t> unit, LineWriter::Answered answered)
{
    m_writer.send(m_state.portNumber, std::move(unit), answered, [this](bool written) { unitSent(written); });
}

void DeviceLink::unitSent(bool written)
{
    resetAfterSend();
    if (m_receiveLate && !sending()) {
        m_receiveLate = false;
        receiveTick();
    }
    if (afterSend)
        afterSend(written);
}

void DeviceLink::resetAfterSend()
{
    m_state.ackTicks = 0;
    m_state.replyTicks = 0;
    m_state.replyLength = 0;
    m_answerQuiet = false;
}

void DeviceLink::SendCommand(const char *text, std::uint8_t argument)
{
    std::vector<std::uint8_t> line(text, text + std::strlen(text));
    line.insert(line.end(), {0x20, argument, 0x20, 0x0A, 0x0D});
    sendUnit(std::move(line), LineWriter::Answered::Yes);
}

void DeviceLink::SendFramedByte(std::uint8_t value, LineWriter::Answered answered)
{
    sendUnit({0x20, value, 0x20}, answered);
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
    m_answerQuiet = false;
    return found;
}

bool DeviceLink::answerWhole(Operation op) const
{
    const std::size_t length = std::min<std::size_t>(m_state.replyLength, kLinkBufferSize);
    if (m_answerQuiet || length == kLinkBufferSize)
        return true;
    const auto begin = m_state.replyBuffer.begin();
    const auto end = begin + static_cast<std::ptrdiff_t>(length);
    const char *wanted = operationInfo(op).acknowledgment;
    if (std::search(begin, end, wanted, wanted + std::strlen(wanted)) != end)
        return true;
    return length >= 2 && end[-2] == '\r' && end[-1] == '\n';
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
    if (sending()) {
        m_receiveLate = true;
        return;
    }
    readAndCount();
}

void DeviceLink::readAndCount()
{
    bool anyAwaitingAck = false;
    bool anyAwaitingReply = false;
    for (const OperationInfo &info : kOperations) {
        const std::uint8_t s = m_state.*info.step;
        if (s == AwaitAck)
            anyAwaitingAck = true;
        if (s == AwaitReply)
            anyAwaitingReply = true;
        // Block answers are waited for whole, and that wait counts too: a generator that stops
        // in the middle of a read runs into a time-out instead of stalling the link.
        if (s == ReplyIn && info.blockAnswerLength > 0 && m_state.replyLength < info.blockAnswerLength)
            anyAwaitingReply = true;
    }
    if (anyAwaitingAck)
        countTick(m_state.ackTicks);
    if (anyAwaitingReply)
        countTick(m_state.replyTicks);

    // Everything that has arrived is taken; what does not fit the reply buffer is dropped.
    bool arrived = false;
    for (int i = 0; i < kMaxReadsPerTick; ++i) {
        int n = m_serial.readPort(m_state.portNumber, m_state.receiveBuffer.data(),
                                  static_cast<int>(kLinkBufferSize));
        if (n <= 0)
            break;
        n = std::min(n, static_cast<int>(kLinkBufferSize));
        arrived = true;
        m_ui.appendReceiveLog(m_state.receiveBuffer.data(), static_cast<std::size_t>(n));
        const std::size_t room =
            kLinkBufferSize - std::min<std::size_t>(m_state.replyLength, kLinkBufferSize);
        const std::size_t taken = std::min<std::size_t>(room, static_cast<std::size_t>(n));
        if (taken > 0) {
            std::memcpy(m_state.replyBuffer.data() + m_state.replyLength, m_state.receiveBuffer.data(),
                        taken);
            m_state.replyLength += static_cast<std::uint32_t>(taken);
        }
    }
    if (!arrived) {
        // Only a long enough silence ends an answer: right after a send, the late tick and the
        // regular one can fall a few milliseconds apart, between two halves of one answer.
        m_answerQuiet = m_state.replyLength > 0 && m_clock.nowMs() - m_lastArrivalMs >= kAnswerQuietMs;
        return;
    }
    m_answerQuiet = false;
    m_lastArrivalMs = m_clock.nowMs();

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
