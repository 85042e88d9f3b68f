#pragma once

#include <QObject>
#include <QString>

#include <map>
#include <string>
#include <vector>

class QSocketNotifier;

// A generator on a pseudo-terminal that answers each command line with the text its script
// gives for that command, and keeps silent on commands the script leaves out. For outcomes the
// emulator cannot be asked for, such as a presence check that succeeds before a refused command.
class ScriptedGenerator : public QObject {
    Q_OBJECT
public:
    // Command text to the bytes it is answered with.
    using Answers = std::map<std::string, std::string>;

    explicit ScriptedGenerator(Answers answers, QObject *parent = nullptr);
    ~ScriptedGenerator() override;

    // False when no pseudo-terminal could be had.
    [[nodiscard]] bool open();
    // The device the program opens.
    [[nodiscard]] QString path() const { return m_path; }
    // The commands received so far, in order.
    [[nodiscard]] const std::vector<std::string> &commands() const { return m_commands; }

private:
    void readable();

    Answers m_answers;
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
    QSocketNotifier *m_notifier = nullptr;
    std::string m_line;
    std::vector<std::string> m_commands;
};
