#include "ScriptedGenerator.h"

#include <QSocketNotifier>

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

ScriptedGenerator::ScriptedGenerator(Answers answers, QObject *parent)
    : QObject(parent), m_answers(std::move(answers))
{
}

ScriptedGenerator::~ScriptedGenerator()
{
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
}

bool ScriptedGenerator::open()
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
        return false;
    const char *name = ::ptsname(m_master);
    if (name == nullptr)
        return false;
    m_path = QString::fromLocal8Bit(name);
    // Holding the other end open keeps the master from reporting a hang-up whenever the
    // program closes its port.
    m_slave = ::open(name, O_RDWR | O_NOCTTY);
    if (m_slave < 0)
        return false;
    m_notifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ScriptedGenerator::readable);
    return true;
}

void ScriptedGenerator::readable()
{
    char buffer[256];
    const ssize_t n = ::read(m_master, buffer, sizeof buffer);
    if (n <= 0)
        return;
    m_line.append(buffer, static_cast<std::size_t>(n));
    // A command line is its text, a space, the argument byte, a space, LF, CR.
    std::size_t end = 0;
    while ((end = m_line.find("\n\r")) != std::string::npos) {
        const std::string line = m_line.substr(0, end);
        m_line.erase(0, end + 2);
        const std::string command = line.substr(0, line.find(' '));
        m_commands.push_back(command);
        const auto answer = m_answers.find(command);
        if (answer != m_answers.end() && !answer->second.empty()) {
            const ssize_t written = ::write(m_master, answer->second.data(), answer->second.size());
            static_cast<void>(written);
        }
    }
}
