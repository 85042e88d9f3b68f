#include "StepMachine.h"

#include "DeviceLink.h"
#include "LinkClock.h"
#include "LinkMessages.h"
#include "LinkOperator.h"
#include "SharedValues.h"

#include <algorithm>
#include <array>

namespace {

// A table upload's argument is the number of framed bytes after it: count, entries, checksum.
static_assert(operationInfo(Operation::TMGS).argument == 1 + kTimingCount + 1);
static_assert(operationInfo(Operation::PTNS).argument == 1 + kPatternCount + 1);
static_assert(operationInfo(Operation::ATRN).argument == 1 + 4 * kProgramSteps + 1);

int hexDigit(std::uint8_t c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

StepMachine::StepMachine(DeviceLink &link, SharedValues &values) : m_link(link), m_values(values) {}

bool StepMachine::StartLinkOperation(Operation op)
{
    DeviceLinkState &st = m_link.state();
    if (st.portOpen != 1 || st.devicePresent != 1 || m_link.LinkBusy())
        return false;
    m_link.ui().clearReceiveLog();
    m_handedOver.reset();
    switch (op) {
    case Operation::REDID:
        st.edidBlockOffset = 0;
        st.edidLastBlockRequested = 0;
        m_edidBlockMalformed = false;
        m_link.setProgress(0);
        break;
    case Operation::UEDID:
    case Operation::WEDID: m_link.setProgress(0); break;
    default: break;
    }
    st.step(op) = AwaitAck;
    m_link.SendCommand(commandText(op), operationInfo(op).argument);
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
    if (m_link.OpenLink(itemIndex)) {
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
    const bool wasRunning = m_link.LinkBusy();
    for (Operation op : kAllOperations)
        st.step(op) = Idle;
    st.ackTicks = 0;
    st.replyTicks = 0;
    st.edidLastBlockRequested = 0;
    m_payload.reset();
    m_handedOver.reset();
    // The bar belongs to the operation that ended; after a finished one it keeps its 100 %.
    if (wasRunning)
        m_link.setProgress(0);
}

void StepMachine::stepTick()
{
    for (Operation op : kAllOperations)
        handle(op);
}

void StepMachine::handle(Operation op)
{
    DeviceLinkState &st = m_link.state();
    switch (st.step(op)) {
    case AwaitAck:
        if (st.ackTicks > operationInfo(op).ackTimeoutTicks)
            timeOut(st.ackTicks, op);
        break;
    case AckIn: handleAcknowledgment(op); break;
    case AwaitReply: {
        const int limit = operationInfo(op).replyTimeoutTicks;
        if (limit > 0 && st.replyTicks > limit)
            timeOut(st.replyTicks, op);
        break;
    }
    case ReplyIn: handleFinalAnswer(op); break;
    default: break;
    }
}

void StepMachine::timeOut(std::uint8_t &counter, Operation op)
{
    counter = 0;
    m_link.state().step(op) = Idle;
    m_link.ShowDeviceAbsent();
    m_link.ui().showMessage(LinkMessages::NoResponse);
}

void StepMachine::handleAcknowledgment(Operation op)
{
    DeviceLinkState &st = m_link.state();
    std::uint8_t &step = st.step(op);
    const bool failed = m_link.CheckReply(op);

    switch (op) {
    case Operation::URTCNT:
        step = Idle;
        if (failed)
            m_link.ShowDeviceAbsent();
        else
            m_link.ShowDevicePresent();
        return;
    case Operation::DFSET:
        step = Idle;
        if (failed) {
            m_link.ShowDeviceAbsent();
            m_link.ui().showMessage(LinkMessages::Error);
        } else {
            m_link.ShowDevicePresent();
            m_link.ui().showMessage(LinkMessages::DefaultSettingDone);
        }
        return;
    case Operation::REDID:
        if (failed) {
            st.ackTicks = 0;
            step = Idle;
            m_link.ShowDeviceAbsent();
            m_link.ui().showMessage(LinkMessages::Error);
            return;
        }
        step = AwaitReply;
        m_link.SendFramedByte(static_cast<std::uint8_t>(st.edidBlockOffset & 0xFF));
        st.edidBlockOffset += 32;
        st.ackTicks = 0;
        m_link.setProgress(0);
        return;
    case Operation::WEDID:
        if (failed) {
            step = Idle;
            m_link.ui().showMessage(LinkMessages::Error);
            st.ackTicks = 0;
            m_link.ShowDeviceAbsent();
            return;
        }
        step = AwaitReply;
        m_link.setProgress(50);
        m_link.SendFramedByte(1);
        return;
    default: break;
    }

    if (failed) {
        step = Idle;
        m_link.ui().showMessage(LinkMessages::Error);
        return;
    }
    step = AwaitReply;
    switch (op) {
    case Operation::TMIX: m_link.SendFramedByte(m_values.currentTimingIndex); break;
    case Operation::PTIX: m_link.SendFramedByte(m_values.currentPatternIndex); break;
    case Operation::TMGS:
    case Operation::PTNS:
    case Operation::ATRN: startTableUpload(op); break;
    case Operation::UEDID: startEdidUpload(); break;
    default: break;
    }
}

void StepMachine::startPayload(Operation op, std::vector<std::uint8_t> bytes, int bytesPerEntry)
{
    m_payload = Payload{op, std::move(bytes), bytesPerEntry, 0, 0};
    // The first byte goes out at once, as part of the step that accepted the acknowledgment.
    payloadTick();
}

void StepMachine::payloadTick()
{
    if (!m_payload)
        return;
    // Ended meanwhile (Disconnect, a closed window, a time-out), or the generator answered
    // before the payload was complete: then nothing more is sent, and that answer is examined.
    if (m_link.state().step(m_payload->op) != AwaitReply) {
        m_payload.reset();
        return;
    }
    const int pause = sendPayloadByte();
    if (m_payload->next >= m_payload->bytes.size()) {
        m_payload.reset();
        return;
    }
    if (onPayloadDue)
        onPayloadDue(pause);
}

int StepMachine::sendPayloadByte()
{
    Payload &p = *m_payload;
    const std::size_t i = p.next++;
    const std::uint8_t value = p.bytes[i];

    if (p.bytesPerEntry == 0) {
        // EDID upload: the bar before each byte, then the loop's own 5 ms.
        m_link.setProgress(static_cast<int>(i) * 100 / 255);
        m_link.SendFramedByte(value);
        return 5;
    }

    // Table upload: count, the entries, checksum.
    const std::size_t dataBytes = p.bytes.size() - 1;
    if (i == dataBytes) {
        m_link.ui().setProgressPanelOwnerDrawn();
        m_link.SendFramedByte(static_cast<std::uint8_t>((256 - p.sum % 256) % 256));
        return 0;
    }
    m_link.SendFramedByte(value);
    p.sum += value;
    if (i == 0 || i % static_cast<std::size_t>(p.bytesPerEntry) != 0)
        return 0;
    // Last byte of entry e: the bar rises to (e + 1) / N, with the loop's own 1 ms pause.
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
    const std::size_t count = op == Operation::TMGS ? kTimingCount : kPatternCount;
    if ((op != Operation::TMGS && op != Operation::PTNS) || !payloadPending(op) || flags.size() != count)
        return;
    m_handedOver.emplace(op, std::move(flags));
}

void StepMachine::startTableUpload(Operation op)
{
    std::vector<std::uint8_t> bytes;
    int bytesPerEntry = 1;
    const auto addFlags = [&](const auto &shared) {
        bytes.push_back(static_cast<std::uint8_t>(shared.size()));
        const bool handedOver = m_handedOver && m_handedOver->first == op;
        for (std::size_t i = 0; i < shared.size(); ++i) {
            const std::uint8_t flag = handedOver ? m_handedOver->second[i] : shared[i];
            bytes.push_back(flag != 0 ? 1 : 0);
        }
        m_handedOver.reset();
    };
    switch (op) {
    case Operation::TMGS: addFlags(m_values.timingSelection); break;
    case Operation::PTNS: addFlags(m_values.patternSelection); break;
    default:
        bytesPerEntry = 4;
        bytes.push_back(kProgramSteps);
        for (int row = 0; row < kProgramSteps; ++row)
            for (int column = 0; column < 4; ++column)
                bytes.push_back(
                    m_values.ProgramUploadImage[static_cast<std::size_t>(column * kProgramSteps + row)]);
        break;
    }
    bytes.push_back(0); // the checksum's place; it is computed from what was sent
    m_link.setProgress(0);
    startPayload(op, std::move(bytes), bytesPerEntry);
}

void StepMachine::startEdidUpload()
{
    startPayload(Operation::UEDID,
                 std::vector<std::uint8_t>(m_values.EdidBuffer.begin(), m_values.EdidBuffer.end()), 0);
}

void StepMachine::handleFinalAnswer(Operation op)
{
    if (op == Operation::REDID) {
        handleEdidBlock();
        return;
    }
    std::uint8_t &step = m_link.state().step(op);
    const bool failed = m_link.CheckReply(op);
    step = Idle;
    switch (op) {
    case Operation::TMIX:
    case Operation::PTIX:
        if (failed)
            m_link.ui().showMessage(LinkMessages::Error);
        else
            m_link.ShowDevicePresent();
        return;
    case Operation::TMGS:
    case Operation::PTNS:
    case Operation::ATRN:
    case Operation::UEDID:
        if (failed) {
            m_link.ui().showMessage(LinkMessages::Error);
        } else {
            m_link.ShowDevicePresent();
            m_link.ui().showMessage(LinkMessages::UploadSuccessful);
        }
        return;
    case Operation::WEDID:
        if (failed) {
            m_link.ui().showMessage(LinkMessages::WriteEdidFail);
            m_link.ShowDeviceAbsent();
        } else {
            m_link.setProgress(100);
            m_link.ShowDevicePresent();
            m_link.ui().showMessage(LinkMessages::WriteEdidSuccessful);
        }
        return;
    default: return; // "URTCNT" and "DFSET" have no final answer.
    }
}

bool StepMachine::decodeEdidBlock(int offset)
{
    const DeviceLinkState &st = m_link.state();
    const auto &reply = st.replyBuffer;
    if (offset < 0 || offset + 32 > kEdidSize || reply[0] != 'A' || reply[kEdidBlockAnswerLength - 1] != 'T')
        return false;
    std::array<std::uint8_t, 32> block{};
    for (std::size_t k = 0; k < block.size(); ++k) {
        const int high = hexDigit(reply[1 + 2 * k]);
        const int low = hexDigit(reply[2 + 2 * k]);
        if (high < 0 || low < 0)
            return false;
        block[k] = static_cast<std::uint8_t>(high * 16 + low);
    }
    std::copy(block.begin(), block.end(), m_values.EdidBuffer.begin() + offset);
    return true;
}

bool StepMachine::blockAnswerCanStillBeWellFormed() const
{
    const DeviceLinkState &st = m_link.state();
    const auto length = std::min<std::size_t>(st.replyLength, kEdidBlockAnswerLength);
    for (std::size_t i = 0; i < length; ++i) {
        const std::uint8_t c = st.replyBuffer[i];
        const bool fits = i == 0 ? c == 'A' : i == kEdidBlockAnswerLength - 1 ? c == 'T' : hexDigit(c) >= 0;
        if (!fits)
            return false;
    }
    return true;
}

void StepMachine::handleEdidBlock()
{
    DeviceLinkState &st = m_link.state();
    // A block is decoded only from a whole answer to its own request (each request clears
    // the reply); until then wait, counting towards the time-out, unless what has come already
    // cannot begin a block answer ("NG", say): that block is malformed now.
    if (st.replyLength < kEdidBlockAnswerLength) {
        if (blockAnswerCanStillBeWellFormed()) {
            if (st.replyTicks > operationInfo(Operation::REDID).replyTimeoutTicks)
                timeOut(st.replyTicks, Operation::REDID);
            return;
        }
        m_edidBlockMalformed = true;
    } else if (!decodeEdidBlock(st.edidBlockOffset - 32)) {
        m_edidBlockMalformed = true;
    }

    if (st.edidLastBlockRequested == 1) {
        finishEdidRead();
        return;
    }
    const int offset = st.edidBlockOffset;
    if (offset < 256) {
        m_link.SendFramedByte(static_cast<std::uint8_t>(offset));
        if (offset >= 223)
            st.edidLastBlockRequested = 1;
        m_link.setProgress(offset * 100 / 255);
    }
    st.edidBlockOffset += 32;
}

void StepMachine::finishEdidRead()
{
    DeviceLinkState &st = m_link.state();
    st.ackTicks = 0;
    st.stepREDID = Idle;
    st.edidLastBlockRequested = 0;
    st.edidBlockOffset = 256;
    st.replyLength = 0;
    if (m_edidBlockMalformed) {
        m_link.ui().showMessage(LinkMessages::Error);
        return;
    }
    m_link.setProgress(100);
    m_link.ui().showMessage(LinkMessages::ReadEdidSuccessful);
}
