#pragma once

#include "ByteSpan.h"
#include "Outcome.h"

#include <cstdint>
#include <optional>

class DeviceLink;

// Read EDID after the generator's "OK1": requests for 32-byte blocks at offsets 0, 32, ... to the
// end of the buffer (eight of them for its 256 bytes, offsets to 224), one a step tick, each answered by "A",
// 64 hexadecimal digits and "T". Everything particular to this read is here; the step machine only hands it
// the ticks.
class EdidBlockRead {
public:
    static constexpr int kBlockSize = 32;

    // The blocks are stored into edid, which outlives the read.
    EdidBlockRead(DeviceLink &link, ByteSpan edid);

    // Before its command line goes out.
    void prepare();
    // The acknowledgment was "OK1": ask for the first block.
    void acknowledged();
    // A step tick while the read waits for or holds a block answer: stores a whole block, asks
    // for the next, and gives the outcome once the read has ended.
    [[nodiscard]] std::optional<Outcome> blockTick();

private:
    [[nodiscard]] bool decodeBlock(int offset);
    [[nodiscard]] bool answerCanStillBeWellFormed() const;
    void request(int offset);
    [[nodiscard]] int size() const { return static_cast<int>(m_edid.size); }

    DeviceLink &m_link;
    ByteSpan m_edid;
    bool m_malformed = false;
};
