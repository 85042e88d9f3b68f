// The emulator's engine against any byte stream, under any combination of its faults: it must
// never crash, its queue of answers must stay bounded, and once the stream has ended, its answers
// have gone out and the line has been quiet, a presence check is answered again (unless it was told to stay
// silent or has hung up).
//
// Input: [fault bits] [fault-from], then pairs of [gap in ms] [byte].
#include "GeneratorEngine.h"

#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    SimFaults faults;
    faults.silent = (data[0] & 0x01) != 0;
    faults.noFinalAnswer = (data[0] & 0x02) != 0;
    faults.noOk = (data[0] & 0x04) != 0;
    faults.splitOk = (data[0] & 0x08) != 0;
    faults.garbage = (data[0] & 0x10) != 0;
    faults.longAnswer = (data[0] & 0x20) != 0;
    faults.hangUpMidPayload = (data[0] & 0x40) != 0;
    faults.hangUpAfterAck = (data[0] & 0x80) != 0;
    faults.malformedBlock = data[1] % 9 - 1;
    faults.fromCommand = 1 + data[1] / 64;
    GeneratorEngine engine(faults);

    std::int64_t now = 0;
    for (std::size_t at = 2; at + 1 < size; at += 2) {
        now += data[at];
        engine.receive(data[at + 1], now);
        (void)engine.takeDue(now);
        if (engine.queuedBytes() > GeneratorEngine::kMaxQueuedBytes) {
            std::fprintf(stderr, "%zu bytes of answers queued\n", engine.queuedBytes());
            std::abort();
        }
    }
    // Everything said, then a presence check after a pause.
    while (engine.nextDueMs() >= 0) {
        now = std::max(now, engine.nextDueMs());
        (void)engine.takeDue(now);
    }
    now += 5000;
    const std::string check("URTCNT \x00 \n\r", 11);
    for (std::size_t i = 0; i < 11; ++i) {
        engine.receive(static_cast<std::uint8_t>(check[i]), now);
        now += 35;
    }
    // Ten seconds is room for the longest answer at the line's speed.
    std::string answer;
    for (std::uint8_t b : engine.takeDue(now + 10000))
        answer += static_cast<char>(b);
    const bool mute =
        engine.hungUp() || (engine.faultsActive() && (faults.silent || faults.garbage || faults.noOk));
    if (!mute && answer.find("OK") == std::string::npos) {
        std::fprintf(stderr, "no answer to a presence check after a pause: '%s'\n", answer.c_str());
        std::abort();
    }
    return 0;
}
