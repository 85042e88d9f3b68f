#pragma once

#include <string>

// The emulator's end of the line: a pseudo-terminal whose slave side the program opens as its
// serial port. One slave descriptor stays open here, so the master never reads end-of-file
// while no client has the device open (between a close and the next open).
class PseudoTerminal {
public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    // Creates the pair with a raw 19200 8N1 line. Returns false and sets error on failure.
    [[nodiscard]] bool open(std::string &error);
    // Closes both ends; a client still holding the slave sees a hang-up.
    void close();
    // Closes the master only; the slave stays open here, and a client reads end-of-file.
    void closeMaster();

    [[nodiscard]] int masterFd() const { return m_master; }
    [[nodiscard]] const std::string &slavePath() const { return m_slavePath; }

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
};
