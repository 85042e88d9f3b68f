#pragma once

#include "DeviceLinkState.h"
#include "LineWriter.h"

#include <cstdint>
#include <functional>
#include <string>

class LinkClock;
class LinkOperator;
class PortDirectory;
class SerialLibrary;

// The serial link: opening, paced sending, the 100 ms receive tick and the reply check.
// Every bool result here is true on success.
class DeviceLink {
public:
    static constexpr int kBaudCode19200 = 13;
    static constexpr int kMode8N1 = 3;
    // Reads of one receive tick, at most: a flood is drained, not let pile up, but a tick ends.
    static constexpr int kMaxReadsPerTick = 64;
    static constexpr int kReceiveTickMs = 100;
    // Silence that ends an answer holding neither its acknowledgment nor a line end: two ticks,
    // so halves of one answer some way apart (slow bridges) are still read as one.
    static constexpr int kAnswerQuietMs = 2 * kReceiveTickMs;

    DeviceLink(DeviceLinkState &state, SerialLibrary &serial, LineWriter &writer, LinkClock &clock,
               LinkOperator &ui);
    ~DeviceLink();
    DeviceLink(const DeviceLink &) = delete;
    DeviceLink &operator=(const DeviceLink &) = delete;

    // Messages then name a port as the directory does (a system name from port 9 on), not by number.
    void usePortNames(const PortDirectory &ports) { m_ports = &ports; }

    // Opens and configures COM (itemIndex + 1); says why when it fails.
    [[nodiscard]] bool OpenLink(int itemIndex);
    [[nodiscard]] bool ConfigureLink();
    // Stops what is going out at the next character and closes the port.
    void ClosePort();

    // Both return at once; the characters follow 35 ms apart. The tick counters and the reply
    // restart when the last one's 35 ms are over, and afterSend is called. What arrives before
    // the generator has a whole line, or the framed byte it answers, is not its answer.
    void SendCommand(const char *text, std::uint8_t argument);
    void SendFramedByte(std::uint8_t value, LineWriter::Answered answered = LineWriter::Answered::Yes);
    [[nodiscard]] bool sending() const { return m_writer.busy(); }
    std::function<void(bool written)> afterSend;

    // Whether the answer collected since the last reset holds what op waits for.
    [[nodiscard]] bool CheckReply(Operation op);
    // An answer is examined once it is whole: it holds the acknowledgment, ends in CR LF, fills
    // the reply buffer, or a receive tick kAnswerQuietMs after its last bytes brought nothing more.
    [[nodiscard]] bool answerWhole(Operation op) const;
    [[nodiscard]] bool LinkBusy() const;

    // Timer2Timer: read what has arrived, count time-out ticks, move steps 1->2 and 4->5. A tick
    // that falls while a unit is going out runs once it is out, as the line is busy till then.
    void receiveTick();

    // Presence displays: set devicePresent and show it.
    void ShowDevicePresent();
    void ShowDeviceAbsent();

    void setProgress(int percent);
    [[nodiscard]] int progress() const { return m_progress; }

    [[nodiscard]] DeviceLinkState &state() { return m_state; }
    [[nodiscard]] const DeviceLinkState &state() const { return m_state; }
    [[nodiscard]] LinkOperator &ui() { return m_ui; }

private:
    void sendUnit(std::vector<std::uint8_t> unit, LineWriter::Answered answered);
    void unitSent(bool written);
    void readAndCount();
    void resetAfterSend();

    DeviceLinkState &m_state;
    SerialLibrary &m_serial;
    LinkClock &m_clock;
    LinkOperator &m_ui;
    LineWriter &m_writer;
    const PortDirectory *m_ports = nullptr;
    int m_progress = 0;
    bool m_receiveLate = false;
    // A receive tick has found nothing kAnswerQuietMs or more after the answer's last bytes.
    bool m_answerQuiet = false;
    std::int64_t m_lastArrivalMs = 0;
};
