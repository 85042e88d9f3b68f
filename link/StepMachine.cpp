#include "StepMachine.h"

#include "DeviceLink.h"
#include "LinkOperator.h"

#include <algorithm>

StepMachine::StepMachine(DeviceLink &link, LinkValues values)
    : m_link(link), m_values(values), m_edidRead(link, values.EdidBuffer)
{
    m_link.afterSend = [this](bool written) { afterSend(written); };
}

bool StepMachine::StartLinkOperation(Operation op)
{
    DeviceLinkState &st = m_link.state();
    if (st.portOpen != 1 || st.devicePresent != 1 || m_link.LinkBusy()) {
        emit finished(op, Outcome::Refused);
        return false;
    }
    m_link.ui().clearReceiveLog();
    m_handedOver.reset();
    m_writeFailed = false;
    const OperationInfo &info = operationInfo(op);
    if (info.payload == Payload::EdidBlocks)
        m_edidRead.prepare();
    if (info.progressAtStart >= 0)
        m_link.setProgress(info.progressAtStart);
    st.step(op) = AwaitAck;
    m_link.SendCommand(info.command, commandArgument(op));
    return true;
}

bool StepMachine::connectPort(int itemIndex)
{
    DeviceLinkState &st = m_link.state();
    m_link.ui().clearReceiveLog();
    if (st.portOpen == 1) {
        m_link.ClosePort();
        st.portOpen = 0;
    }
    // A new connection: whatever ran on the old one could only be answered by the presence
    // check's reply now, so it ends quietly, as on Disconnect.
    abandonOperations();
    if (!m_link.OpenLink(itemIndex)) {
        st.portOpen = 0;
        // The old port is closed by now, so the generator cannot be reached: say so.
        m_link.ShowDeviceAbsent();
        return false;
    }
    st.portOpen = 1;
    StartPresenceCheck();
    return true;
}

void StepMachine::StartPresenceCheck()
{
    m_writeFailed = false;
    m_link.state().stepURTCNT = AwaitAck;
    m_link.SendCommand(commandText(Operation::URTCNT), 0);
}

void StepMachine::disconnect()
{
    DeviceLinkState &st = m_link.state();
    st.portOpen = 0;
    st.devicePresent = 0;
    m_link.ClosePort();
    abandonOperations();
    m_link.ShowDeviceAbsent();
}

void StepMachine::abandonOperations()
{
    DeviceLinkState &st = m_link.state();
    std::vector<Operation> running;
    for (Operation op : kAllOperations)
        if (st.step(op) != Idle)
            running.push_back(op);
    for (Operation op : kAllOperations)
        st.step(op) = Idle;
    st.ackTicks = 0;
    st.replyTicks = 0;
    st.edidLastBlockRequested = 0;
    m_payload.reset();
    m_handedOver.reset();
    m_stepLate = false;
    // The bar belongs to the operation that ended; after a finished one it keeps its 100 %.
    if (!running.empty())
        m_link.setProgress(0);
    for (Operation op : running)
        emit finished(op, Outcome::Abandoned);
}

void StepMachine::stepTick()
{
    if (m_link.sending()) {
        m_stepLate = true;
        return;
    }
    for (Operation op : kAllOperations)
        handle(op);
}

void StepMachine::handle(Operation op)
{
    DeviceLinkState &st = m_link.state();
    const OperationInfo &info = operationInfo(op);
    switch (st.step(op)) {
    case AwaitAck:
        if (st.ackTicks > info.ackTimeoutTicks)
            finish(op, m_writeFailed ? Outcome::WriteFailed : Outcome::NoResponse);
        break;
    case AckIn: handleAcknowledgment(op); break;
    case AwaitReply:
        if (info.replyTimeoutTicks > 0 && st.replyTicks > info.replyTimeoutTicks)
            finish(op, m_writeFailed ? Outcome::WriteFailed : Outcome::NoResponse);
        break;
    case ReplyIn:
        if (info.payload == Payload::EdidBlocks) {
            if (const std::optional<Outcome> outcome = m_edidRead.blockTick())
                finish(op, *outcome);
        } else {
            handleFinalAnswer(op);
        }
        break;
    default: break;
    }
}

void StepMachine::handleAcknowledgment(Operation op)
{
    if (!m_link.answerWhole(op))
        return;
    const OperationInfo &info = operationInfo(op);
    if (!m_link.CheckReply(op)) {
        finish(op, Outcome::NotAcknowledged);
        return;
    }
    if (info.payload == Payload::None) {
        finish(op, Outcome::Succeeded);
        return;
    }
    m_link.state().step(op) = AwaitReply;
    if (info.progressAfterAck >= 0)
        m_link.setProgress(info.progressAfterAck);
    if (info.payload == Payload::EdidBlocks)
        m_edidRead.acknowledged();
    else
        startPayload(op);
}

void StepMachine::handleFinalAnswer(Operation op)
{
    if (!m_link.answerWhole(op))
        return;
    const bool acknowledged = m_link.CheckReply(op);
    // The generator answered before it had the whole payload, so it cannot have it, whatever
    // the answer says.
    if (payloadIncomplete(op))
        finish(op, Outcome::EarlyAnswer);
    else
        finish(op, acknowledged ? Outcome::Succeeded : Outcome::FinalRefused);
}

void StepMachine::finish(Operation op, Outcome outcome)
{
    DeviceLinkState &st = m_link.state();
    const OperationInfo &info = operationInfo(op);
    st.step(op) = Idle;
    st.ackTicks = 0;
    st.replyTicks = 0;
    if (m_payload && m_payload->op == op)
        m_payload.reset();
    m_writeFailed = false;

    // Every branch sets its step and its displays before its message box, so a tick during the
    // box finds nothing new to do; Write EDID alone turns the display absent once it is closed.
    const bool errorAnswer = outcome == Outcome::NotAcknowledged || outcome == Outcome::FinalRefused;
    switch (outcome) {
    case Outcome::Succeeded:
        if (info.progressOnSuccess >= 0)
            m_link.setProgress(info.progressOnSuccess);
        if (info.presentOnSuccess)
            m_link.ShowDevicePresent();
        break;
    case Outcome::NoResponse:
    case Outcome::WriteFailed: m_link.ShowDeviceAbsent(); break;
    default:
        if (errorAnswer && info.absentOnError == AbsentOnError::BeforeMessage)
            m_link.ShowDeviceAbsent();
        break;
    }
    if (const char *message = outcomeMessage(op, outcome))
        m_link.ui().showMessage(message, {});
    if (errorAnswer && info.absentOnError == AbsentOnError::AfterMessage)
        m_link.ShowDeviceAbsent();
    emit finished(op, outcome);
}

std::uint8_t StepMachine::commandArgument(Operation op) const
{
    // A table upload's argument is the number of framed bytes after it: count, entries, checksum.
    switch (operationInfo(op).payload) {
    case Payload::TimingSelection: return static_cast<std::uint8_t>(1 + m_values.timingSelection.size + 1);
    case Payload::PatternSelection: return static_cast<std::uint8_t>(1 + m_values.patternSelection.size + 1);
    case Payload::Program: return static_cast<std::uint8_t>(1 + m_values.ProgramUploadImage.size + 1);
    default: return operationInfo(op).argument;
    }
}

std::vector<std::uint8_t> StepMachine::payloadBytes(Operation op)
{
    std::vector<std::uint8_t> bytes;
    const auto addFlags = [&](const ByteSpan &shared) {
        bytes.push_back(static_cast<std::uint8_t>(shared.size));
        const bool handedOver = m_handedOver && m_handedOver->first == op;
        for (std::size_t i = 0; i < shared.size; ++i) {
            const std::uint8_t flag = handedOver ? m_handedOver->second[i] : shared.data[i];
            bytes.push_back(flag != 0 ? 1 : 0);
        }
        m_handedOver.reset();
    };
    switch (operationInfo(op).payload) {
    case Payload::TimingIndex: bytes.push_back(m_values.currentTimingIndex); break;
    case Payload::PatternIndex: bytes.push_back(m_values.currentPatternIndex); break;
    case Payload::WriteCommand: bytes.push_back(1); break;
    case Payload::TimingSelection: addFlags(m_values.timingSelection); break;
    case Payload::PatternSelection: addFlags(m_values.patternSelection); break;
    case Payload::Program: {
        const ByteSpan image = m_values.ProgramUploadImage;
        const std::size_t steps = image.size / 4;
        bytes.push_back(static_cast<std::uint8_t>(steps));
        for (std::size_t row = 0; row < steps; ++row)
            for (std::size_t column = 0; column < 4; ++column)
                bytes.push_back(image.data[column * steps + row]);
        break;
    }
    case Payload::EdidBytes: bytes.assign(m_values.EdidBuffer.begin(), m_values.EdidBuffer.end()); break;
    case Payload::None:
    case Payload::EdidBlocks: break;
    }
    return bytes;
}

void StepMachine::startPayload(Operation op)
{
    Outgoing p;
    p.op = op;
    p.bytes = payloadBytes(op);
    switch (operationInfo(op).payload) {
    case Payload::TimingSelection:
    case Payload::PatternSelection:
    case Payload::Program:
        p.style = Outgoing::Style::Table;
        p.bytesPerEntry = operationInfo(op).payload == Payload::Program ? 4 : 1;
        p.bytes.push_back(0); // the checksum's place; it is computed from what was sent
        break;
    case Payload::EdidBytes: p.style = Outgoing::Style::Edid; break;
    default: break;
    }
    m_payload = std::move(p);
    // The first byte goes out at once, as part of the step that accepted the acknowledgment.
    payloadTick();
}

bool StepMachine::payloadRunning() const
{
    return m_payload && !m_payload->cut && m_payload->next < m_payload->bytes.size() &&
           m_link.state().step(m_payload->op) == AwaitReply;
}

bool StepMachine::payloadIncomplete(Operation op) const
{
    return m_payload && m_payload->op == op && m_payload->next < m_payload->bytes.size();
}

void StepMachine::payloadTick()
{
    // Ended meanwhile, cut by a failed write, or answered before it was complete (that answer
    // is examined at the next step tick): then nothing more is sent.
    if (!payloadRunning() || m_payload->pauseAfterSend)
        return;
    m_payload->pauseAfterSend = sendPayloadByte();
}

void StepMachine::afterSend(bool written)
{
    if (!written) {
        // The port is gone: nothing more goes out, the bar stays, and the operation times out
        // as for silence.
        m_writeFailed = true;
        if (m_payload)
            m_payload->cut = true;
    }
    if (m_stepLate && !m_link.sending()) {
        m_stepLate = false;
        stepTick();
    }
    if (!m_payload || !m_payload->pauseAfterSend || m_link.sending())
        return;
    const int pause = *m_payload->pauseAfterSend;
    m_payload->pauseAfterSend.reset();
    if (payloadRunning() && onPayloadDue)
        onPayloadDue(pause);
}

int StepMachine::sendPayloadByte()
{
    Outgoing &p = *m_payload;
    const std::size_t i = p.next++;
    const std::uint8_t value = p.bytes[i];

    // Only the last byte is answered: what comes before it is an early answer, to be seen.
    const auto answered = p.next == p.bytes.size() ? LineWriter::Answered::Yes : LineWriter::Answered::No;
    switch (p.style) {
    case Outgoing::Style::Single: m_link.SendFramedByte(value, answered); return 0;
    case Outgoing::Style::Edid:
        // The bar before each byte, then the old loop's own 5 ms.
        m_link.setProgress(static_cast<int>(i * 100 / (p.bytes.size() - 1)));
        m_link.SendFramedByte(value, answered);
        return 5;
    case Outgoing::Style::Table: break;
    }

    // Table upload: count, the entries, checksum.
    const std::size_t dataBytes = p.bytes.size() - 1;
    if (i == dataBytes) {
        m_link.ui().setProgressPanelOwnerDrawn();
        m_link.SendFramedByte(static_cast<std::uint8_t>((256 - p.sum % 256) % 256), answered);
        return 0;
    }
    m_link.SendFramedByte(value, answered);
    p.sum += value;
    if (i == 0 || i % static_cast<std::size_t>(p.bytesPerEntry) != 0)
        return 0;
    // Last byte of entry e: the bar rises to (e + 1) / N, with the old loop's own 1 ms pause.
    const int entries = p.bytes.front();
    const int entry = static_cast<int>(i) / p.bytesPerEntry - 1;
    const int percent = (entry * 100 + 100) / entries;
    if (percent <= m_link.progress())
        return 0;
    m_link.setProgress(percent);
    return 1;
}

bool StepMachine::payloadPending(Operation op) const
{
    const std::uint8_t step = m_link.state().step(op);
    return step == AwaitAck || step == AckIn;
}

void StepMachine::handOverSelection(Operation op, std::vector<std::uint8_t> flags)
{
    const std::size_t count =
        op == Operation::TMGS ? m_values.timingSelection.size : m_values.patternSelection.size;
    if ((op != Operation::TMGS && op != Operation::PTNS) || !payloadPending(op) || flags.size() != count)
        return;
    m_handedOver.emplace(op, std::move(flags));
}
