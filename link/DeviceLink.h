#pragma once

#include "DeviceLinkState.h"

#include <cstdint>
#include <string>

class LinkClock;
class LinkOperator;
class PortDirectory;
class SerialLibrary;

// The serial link: opening, paced sending, the 100 ms receive tick and the reply check.
class DeviceLink {
public:
    static constexpr int kCharSpacingMs = 35;
    static constexpr int kBaudCode19200 = 13;
    static constexpr int kMode8N1 = 3;

    DeviceLink(DeviceLinkState &state, SerialLibrary &serial, LinkClock &clock, LinkOperator &ui);

    // Messages then name a port as the directory does (a system name from port 9 on), not by number.
    void usePortNames(const PortDirectory &ports) { m_ports = &ports; }

    // Opens and configures COM (itemIndex + 1). Returns true when it failed (and says why).
    [[nodiscard]] bool OpenLink(int itemIndex);
    [[nodiscard]] bool ConfigureLink();
    void ClosePort();

    void WaitMs(int ms);
    void SendCommand(const char *text, std::uint8_t argument);
    void SendFramedByte(std::uint8_t value);
    // Searches the answer collected since the last reset; returns true when it failed.
    [[nodiscard]] bool CheckReply(Operation op);
    [[nodiscard]] bool LinkBusy() const;

    // Timer2Timer: read what has arrived, count time-out ticks, move steps 1->2 and 4->5.
    void receiveTick();

    // Presence displays: set devicePresent and show it.
    void ShowDevicePresent();
    void ShowDeviceAbsent();

    void setProgress(int percent);
    [[nodiscard]] int progress() const { return m_progress; }

    [[nodiscard]] DeviceLinkState &state() { return m_state; }
    [[nodiscard]] const DeviceLinkState &state() const { return m_state; }
    [[nodiscard]] LinkOperator &ui() { return m_ui; }
    [[nodiscard]] LinkClock &clock() { return m_clock; }

private:
    void writePaced(std::uint8_t ch);
    void resetAfterSend();

    DeviceLinkState &m_state;
    SerialLibrary &m_serial;
    LinkClock &m_clock;
    LinkOperator &m_ui;
    const PortDirectory *m_ports = nullptr;
    int m_progress = 0;
};
