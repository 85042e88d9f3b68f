#pragma once

#include "Outcome.h"

#include <cstdint>
#include <optional>

class DeviceLink;
struct SharedValues;

// Read EDID after the generator's "OK1": eight requests for 32-byte blocks at offsets 0 to 224,
// one a step tick, each answered by "A", 64 hexadecimal digits and "T". Everything particular to
// this read is here; the step machine only hands it the ticks.
class EdidBlockRead {
public:
    static constexpr int kBlockSize = 32;

    EdidBlockRead(DeviceLink &link, SharedValues &values);

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

    DeviceLink &m_link;
    SharedValues &m_values;
    bool m_malformed = false;
};
