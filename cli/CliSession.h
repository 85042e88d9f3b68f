#pragma once

#include "CliArguments.h"
#include "LinkClock.h"
#include "LinkRequest.h"
#include "Outcome.h"

#include <QObject>
#include <QString>

#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <utility>

class DeviceLink;
class Sweep;

// One run of sgxctl on a line: connect, check that the generator answers, then the command or
// the sweep, ending with an exit status chosen from how the operations ended, never from what the
// operator was told. The link is the caller's, so a test runs a session on the emulator's engine
// and a virtual clock just as sgxctl runs it on a port.
class CliSession {
public:
    enum ExitStatus { Done = 0, Failed = 1, BadArguments = 2, Absent = 3 };

    // finish is called once with the exit status. "Exist" and "Not Exist" go to out; every
    // message, and each new value of the progress bar, a line each, to err.
    CliSession(const CliRequest &request, SharedValues &values, DeviceLink &link, LinkClock &clock,
               std::function<void(int status)> finish, std::FILE *out = stdout, std::FILE *err = stderr);
    ~CliSession();
    CliSession(const CliSession &) = delete;
    CliSession &operator=(const CliSession &) = delete;

    // Opens port and starts the presence check; what follows comes from the outcomes.
    void start(const PortChoice &port);
    // SIGHUP, SIGINT or SIGTERM: a sweep stops after the exchange in flight on SIGINT; anything
    // else ends at once.
    void interrupt(int signal);

private:
    void connected(bool opened, const QString &message, const QString &detail);
    void operationEnded(Operation op, Outcome outcome);
    void startCommand();
    void end(int status);

    const CliRequest &m_request;
    SharedValues &m_values;
    DeviceLink &m_link;
    std::function<void(int)> m_finish;
    std::FILE *m_out;
    std::FILE *m_err;
    std::unique_ptr<Sweep> m_sweep;
    // Outcomes are taken up from the message loop, once the link is done with its tick.
    std::deque<std::pair<Operation, Outcome>> m_ended;
    std::unique_ptr<LinkTimer> m_takeUp;
    QObject m_context; // what the session hears of the link goes here, and ends with it
    int m_progress = 0;
    QString m_lineSaid; // told after the message of the operation it came with
    bool m_over = false;
};
