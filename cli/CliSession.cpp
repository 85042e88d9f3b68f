#include "CliSession.h"

#include "DeviceLink.h"
#include "EdidFile.h"
#include "ProgramSequence.h"
#include "SignalRelay.h"
#include "Sweep.h"

#include <QObject>
#include <QString>

#include <csignal>

CliSession::CliSession(const CliRequest &request, SharedValues &values, DeviceLink &link, LinkClock &clock,
                       std::function<void(int)> finish, std::FILE *out, std::FILE *err)
    : m_request(request), m_values(values), m_link(link), m_finish(std::move(finish)), m_out(out), m_err(err)
{
    if (m_request.sweep)
        m_sweep = std::make_unique<Sweep>(
            *m_request.sweep, m_link, m_values, clock, [this](int status) { end(status); }, out, err);
    m_takeUp = clock.makeTimer(LinkClock::Repeat::Once, [this] {
        while (!m_ended.empty() && !m_over) {
            const auto [op, outcome] = m_ended.front();
            m_ended.pop_front();
            operationEnded(op, outcome);
        }
    });
    QObject::connect(&m_link, &DeviceLink::finished, &m_context, [this](Operation op, Outcome outcome) {
        // Nothing waits for anyone to press OK: the message is a line, read at once, and what
        // the line said in place of an answer the line after it.
        if (const char *message = outcomeMessage(op, outcome))
            std::fprintf(m_err, "%s\n", message);
        if (!m_lineSaid.isEmpty())
            std::fprintf(m_err, "the line answered: %s\n", m_lineSaid.toLocal8Bit().constData());
        m_lineSaid.clear();
        std::fflush(m_err);
        m_link.messageClosed(op);
        m_ended.emplace_back(op, outcome);
        m_takeUp->start(0);
    });
    QObject::connect(&m_link, &DeviceLink::progressChanged, &m_context, [this](int percent) {
        // sgxctl --quiet leaves the progress lines out.
        if (percent == m_progress || m_request.quiet)
            return;
        m_progress = percent;
        std::fprintf(m_err, "progress %d\n", percent);
        std::fflush(m_err);
    });
    QObject::connect(&m_link, &DeviceLink::lineSaid, &m_context,
                     [this](const QString &text) { m_lineSaid = text; });
    QObject::connect(&m_link, &DeviceLink::lineLost, &m_context, [this](const QString &reason) {
        std::fprintf(m_err, "%s\n", reason.toLocal8Bit().constData());
        std::fflush(m_err);
    });
    QObject::connect(&m_link, &DeviceLink::connectFinished, &m_context,
                     [this](bool opened, const QString &message, const QString &detail) {
                         connected(opened, message, detail);
                     });
}

CliSession::~CliSession() = default;

void CliSession::start(const PortChoice &port)
{
    m_link.connectPort(port);
}

void CliSession::connected(bool opened, const QString &message, const QString &detail)
{
    if (opened)
        return;
    std::fprintf(m_err, "%s\n", message.toLocal8Bit().constData());
    if (!detail.isEmpty())
        std::fprintf(m_err, "%s\n", detail.toLocal8Bit().constData());
    std::fprintf(m_out, "Not Exist\n");
    end(Absent);
}

void CliSession::interrupt(int signal)
{
    if (m_sweep && signal == SIGINT) {
        m_sweep->interrupt();
        return;
    }
    std::fprintf(m_err, "stopped by %s\n", SignalRelay::nameOf(signal));
    end(128 + signal);
}

void CliSession::startCommand()
{
    const Operation op = *m_request.operation;
    if (op == Operation::ATRN)
        m_link.StartLinkOperation(op, programWireOrder(m_values.ProgramUploadImage));
    else
        m_link.StartLinkOperation(op);
}

void CliSession::operationEnded(Operation op, Outcome outcome)
{
    if (op == Operation::URTCNT) {
        if (outcome == Outcome::Abandoned)
            return;
        if (outcome != Outcome::Succeeded) {
            std::fprintf(m_out, "Not Exist\n");
            end(Absent);
        } else if (m_sweep) {
            m_sweep->start();
        } else if (!m_request.operation) {
            std::fprintf(m_out, "Exist\n");
            end(Done);
        } else {
            startCommand();
        }
        return;
    }
    if (m_sweep) {
        m_sweep->operationEnded(op, outcome);
        return;
    }
    if (outcome == Outcome::Refused) {
        std::fprintf(m_err, "the generator refused to start %s\n", commandText(op));
        end(Failed);
        return;
    }
    if (outcome == Outcome::Succeeded && op == Operation::REDID) {
        std::string error;
        if (!EdidFile::save(m_request.edidOutputPath, m_values.EdidBuffer, error)) {
            std::fprintf(m_err, "%s: %s\n", EdidFile::OpenErrorMessage, error.c_str());
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
