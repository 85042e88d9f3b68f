#include "EdidBlockRead.h"

#include "DeviceLink.h"
#include "HexDigits.h"

#include <algorithm>
#include <array>

EdidBlockRead::EdidBlockRead(DeviceLink &link, ByteSpan edid) : m_link(link), m_edid(edid) {}

void EdidBlockRead::prepare()
{
    DeviceLinkState &st = m_link.state();
    st.edidBlockOffset = 0;
    st.edidLastBlockRequested = 0;
    m_malformed = false;
}

void EdidBlockRead::acknowledged()
{
    DeviceLinkState &st = m_link.state();
    m_link.SendFramedByte(static_cast<std::uint8_t>(st.edidBlockOffset & 0xFF));
    st.edidBlockOffset += kBlockSize;
    st.ackTicks = 0;
}

void EdidBlockRead::request(int offset)
{
    m_link.SendFramedByte(static_cast<std::uint8_t>(offset));
    m_link.setProgress(offset * 100 / (size() - 1));
}

std::optional<Outcome> EdidBlockRead::blockTick()
{
    DeviceLinkState &st = m_link.state();
    // A block is decoded only from a whole answer to its own request (each request clears the
    // reply); until then wait, counting towards the time-out, unless what has come already
    // cannot begin a block answer ("NG", say): that block is malformed now.
    if (st.replyLength < kEdidBlockAnswerLength) {
        if (answerCanStillBeWellFormed()) {
            if (st.replyTicks > operationInfo(Operation::REDID).replyTimeoutTicks)
                return Outcome::NoResponse;
            return std::nullopt;
        }
        m_malformed = true;
    } else if (!decodeBlock(st.edidBlockOffset - kBlockSize)) {
        m_malformed = true;
    }

    if (st.edidLastBlockRequested == 1) {
        st.edidLastBlockRequested = 0;
        st.edidBlockOffset = size();
        st.replyLength = 0;
        // A skipped block leaves old bytes behind: the read is not whole, and must not say so.
        return m_malformed ? Outcome::MalformedBlock : Outcome::Succeeded;
    }
    const int offset = st.edidBlockOffset;
    if (offset < size()) {
        request(offset);
        if (offset >= size() - kBlockSize - 1)
            st.edidLastBlockRequested = 1;
    }
    st.edidBlockOffset += kBlockSize;
    return std::nullopt;
}

bool EdidBlockRead::decodeBlock(int offset)
{
    const auto &reply = m_link.state().replyBuffer;
    if (offset < 0 || offset + kBlockSize > size() || reply[0] != 'A' ||
        reply[kEdidBlockAnswerLength - 1] != 'T')
        return false;
    std::array<std::uint8_t, kBlockSize> block{};
    for (std::size_t k = 0; k < block.size(); ++k) {
        const int high = hexDigitValue(reply[1 + 2 * k]);
        const int low = hexDigitValue(reply[2 + 2 * k]);
        if (high < 0 || low < 0)
            return false;
        block[k] = static_cast<std::uint8_t>(high * 16 + low);
    }
    std::copy(block.begin(), block.end(), m_edid.begin() + offset);
    return true;
}

bool EdidBlockRead::answerCanStillBeWellFormed() const
{
    const DeviceLinkState &st = m_link.state();
    const auto length = std::min<std::size_t>(st.replyLength, kEdidBlockAnswerLength);
    for (std::size_t i = 0; i < length; ++i) {
        const std::uint8_t c = st.replyBuffer[i];
        const bool fits = i == 0                            ? c == 'A'
                          : i == kEdidBlockAnswerLength - 1 ? c == 'T'
                                                            : hexDigitValue(c) >= 0;
        if (!fits)
            return false;
    }
    return true;
}
