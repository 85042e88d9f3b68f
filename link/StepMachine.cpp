#include "StepMachine.h"

#include "DeviceLink.h"
#include "LinkClock.h"
#include "LinkMessages.h"
#include "LinkOperator.h"
#include "SharedValues.h"

#include <algorithm>
#include <array>

namespace {

int ackTimeoutTicks(Operation op)
{
    return op == Operation::REDID ? 45 : 16;
}

// Ticks after which a missing final answer is a time-out; 0 = the operation has no step 4.
int replyTimeoutTicks(Operation op)
{
    switch (op) {
    case Operation::TMIX:
    case Operation::PTIX: return 16;
    case Operation::TMGS:
    case Operation::PTNS:
    case Operation::ATRN:
    case Operation::UEDID: return 70;
    case Operation::WEDID: return 100;
    case Operation::REDID: return 45;
    case Operation::URTCNT:
    case Operation::DFSET: return 0;
    }
    return 0;
}

std::uint8_t commandArgument(Operation op)
{
    switch (op) {
    case Operation::TMIX:
    case Operation::PTIX: return 1;
    case Operation::TMGS: return 1 + kTimingCount + 1;
    case Operation::PTNS: return 1 + kPatternCount + 1;
    case Operation::ATRN: return 1 + 4 * kProgramSteps + 1;
    case Operation::UEDID: return 255;
    default: return 0;
    }
}

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
    m_link.SendCommand(commandText(op), commandArgument(op));
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
    for (Operation op : kAllOperations)
        st.step(op) = Idle;
    st.ackTicks = 0;
    st.replyTicks = 0;
    st.edidLastBlockRequested = 0;
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
        if (st.ackTicks > ackTimeoutTicks(op))
            timeOut(st.ackTicks, op);
        break;
    case AckIn: handleAcknowledgment(op); break;
    case AwaitReply: {
        const int limit = replyTimeoutTicks(op);
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
    case Operation::ATRN: sendTableUpload(op); break;
    case Operation::UEDID: sendEdidUpload(); break;
    default: break;
    }
}

bool StepMachine::payloadAbandoned(Operation op) const
{
    // The payload loops let the message loop run: an early answer or a Disconnect may have
    // ended the operation meanwhile, and then the rest of the payload has nobody to go to.
    const std::uint8_t s = m_link.state().step(op);
    return s != AwaitReply && s != ReplyIn;
}

void StepMachine::sendTableUpload(Operation op)
{
    // Rows of the payload, copied now so that a window changed while the loop yields cannot
    // mix two states in one upload.
    int entries = 0;
    int bytesPerEntry = 1;
    std::array<std::uint8_t, 4 * kProgramSteps> data{};
    switch (op) {
    case Operation::TMGS:
        entries = kTimingCount;
        for (int i = 0; i < entries; ++i)
            data[i] = m_values.timingSelection[i] != 0 ? 1 : 0;
        break;
    case Operation::PTNS:
        entries = kPatternCount;
        for (int i = 0; i < entries; ++i)
            data[i] = m_values.patternSelection[i] != 0 ? 1 : 0;
        break;
    default:
        entries = kProgramSteps;
        bytesPerEntry = 4;
        for (int i = 0; i < entries; ++i)
            for (int column = 0; column < 4; ++column)
                data[i * 4 + column] = m_values.ProgramUploadImage[column * kProgramSteps + i];
        break;
    }

    m_link.setProgress(0);
    m_link.SendFramedByte(static_cast<std::uint8_t>(entries));
    unsigned sum = static_cast<unsigned>(entries);
    for (int i = 0; i < entries; ++i) {
        for (int b = 0; b < bytesPerEntry; ++b) {
            const std::uint8_t value = data[i * bytesPerEntry + b];
            m_link.SendFramedByte(value);
            sum += value;
        }
        const int p = (i * 100 + 100) / entries;
        if (p > m_link.progress()) {
            m_link.setProgress(p);
            m_link.clock().sleepMs(1);
            m_link.ui().processPendingEvents();
            if (payloadAbandoned(op))
                return;
        }
    }
    m_link.ui().setProgressPanelOwnerDrawn();
    m_link.SendFramedByte(static_cast<std::uint8_t>((256 - sum % 256) % 256));
}

void StepMachine::sendEdidUpload()
{
    const EdidBytes edid = m_values.EdidBuffer;
    for (int i = 0; i < kEdidSize; ++i) {
        m_link.setProgress(i * 100 / 255);
        m_link.SendFramedByte(edid[static_cast<std::size_t>(i)]);
        m_link.clock().sleepMs(5);
        m_link.ui().processPendingEvents();
        if (payloadAbandoned(Operation::UEDID))
            return;
    }
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

void StepMachine::handleEdidBlock()
{
    DeviceLinkState &st = m_link.state();
    // A block is decoded only from a whole answer to its own request (each request clears
    // the reply); until then wait, counting towards the time-out.
    if (st.replyLength < kEdidBlockAnswerLength) {
        if (st.replyTicks > replyTimeoutTicks(Operation::REDID))
            timeOut(st.replyTicks, Operation::REDID);
        return;
    }
    if (!decodeEdidBlock(st.edidBlockOffset - 32))
        m_edidBlockMalformed = true;

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
