#include "CliSession.h"

#include "EdidFile.h"
#include "SignalPipe.h"
#include "StepMachine.h"
#include "Sweep.h"

#include <QObject>
#include <QString>

#include <csignal>

CliSession::CliSession(const CliRequest &request, SharedValues &values, StepMachine &machine,
                       LinkClock &clock, std::function<void(int)> finish, std::FILE *out)
    : m_request(request), m_values(values), m_machine(machine), m_finish(std::move(finish)), m_out(out)
{
    if (m_request.sweep)
        m_sweep = std::make_unique<Sweep>(
            *m_request.sweep, m_machine, m_values, clock, [this](int status) { end(status); }, out);
    m_takeUp = clock.makeTimer(LinkClock::Repeat::Once, [this] {
        while (!m_ended.empty() && !m_over) {
            const auto [op, outcome] = m_ended.front();
            m_ended.pop_front();
            operationEnded(op, outcome);
        }
    });
    QObject::connect(&m_machine, &StepMachine::finished, &m_machine, [this](Operation op, Outcome outcome) {
        m_ended.emplace_back(op, outcome);
        m_takeUp->start(0);
    });
}

CliSession::~CliSession()
{
    QObject::disconnect(&m_machine, &StepMachine::finished, &m_machine, nullptr);
}

void CliSession::start()
{
    if (!m_machine.connectPort(m_request.portNumber - 1)) {
        std::fprintf(m_out, "Not Exist\n");
        end(Absent);
    }
}

void CliSession::interrupt(int signal)
{
    if (m_sweep && signal == SIGINT) {
        m_sweep->interrupt();
        return;
    }
    std::fprintf(stderr, "stopped by %s\n", SignalPipe::nameOf(signal));
    end(128 + signal);
}

void CliSession::operationEnded(Operation op, Outcome outcome)
{
    if (op == Operation::URTCNT) {
        if (outcome != Outcome::Succeeded) {
            std::fprintf(m_out, "Not Exist\n");
            end(Absent);
        } else if (m_sweep) {
            m_sweep->start();
        } else if (!m_request.operation) {
            std::fprintf(m_out, "Exist\n");
            end(Done);
        } else {
            m_machine.StartLinkOperation(*m_request.operation);
        }
        return;
    }
    if (m_sweep) {
        m_sweep->operationEnded(op, outcome);
        return;
    }
    if (outcome == Outcome::Refused) {
        std::fprintf(stderr, "the generator refused to start %s\n", commandText(op));
        end(Failed);
        return;
    }
    if (outcome == Outcome::Succeeded && op == Operation::REDID) {
        const EdidFile::Result saved = EdidFile::save(m_request.edidOutputPath, m_values.EdidBuffer);
        if (!saved) {
            std::fprintf(stderr, "%s: %s: %s\n", EdidFile::OpenErrorMessage, m_request.edidOutputPath.c_str(),
                         saved.reason.toLocal8Bit().constData());
            end(BadArguments);
            return;
        }
    }
    end(outcome == Outcome::Succeeded ? Done : Failed);
}

void CliSession::end(int status)
{
    if (m_over)
        return;
    m_over = true;
    m_finish(status);
}
