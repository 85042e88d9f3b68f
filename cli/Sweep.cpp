#include "Sweep.h"

#include "DeviceLink.h"
#include "PatternTable.h"
#include "SharedValues.h"
#include "TimingTable.h"

#include <QDateTime>

#include <cstdio>

Sweep::Sweep(const SweepRequest &request, DeviceLink &link, SharedValues &values, LinkClock &clock,
             std::function<void(int status)> finish, std::FILE *out, std::FILE *err)
    : m_request(request), m_link(link), m_values(values), m_finish(std::move(finish)), m_out(out), m_err(err),
      m_dwell(clock.makeTimer(LinkClock::Repeat::Once, [this] {
          ++m_pair;
          startPair();
      }))
{
}

int Sweep::pairCount() const
{
    return static_cast<int>(m_request.timings.size() * m_request.patterns.size());
}

void Sweep::start()
{
    startPair();
}

void Sweep::startPair()
{
    if (m_interrupted) {
        end(Interrupted);
        return;
    }
    if (m_pair >= pairCount()) {
        end(m_failed > 0 ? SomeFailed : AllPassed);
        return;
    }
    const std::size_t columns = m_request.patterns.size();
    m_values.currentTimingIndex =
        static_cast<std::uint8_t>(m_request.timings[static_cast<std::size_t>(m_pair) / columns] - 1);
    m_values.currentPatternIndex =
        static_cast<std::uint8_t>(m_request.patterns[static_cast<std::size_t>(m_pair) % columns] - 1);
    m_stage = Stage::Timing;
    // A refusal (the generator was shown absent by an earlier failure) comes back as an outcome.
    m_link.StartLinkOperation(Operation::TMIX);
}

void Sweep::operationEnded(Operation op, Outcome outcome)
{
    const bool expected = (m_stage == Stage::Timing && op == Operation::TMIX) ||
                          (m_stage == Stage::Pattern && op == Operation::PTIX);
    if (!expected)
        return;
    if (outcome != Outcome::Succeeded) {
        report(std::string(commandText(op)) + ": " + outcomeName(outcome));
        return;
    }
    if (m_stage == Stage::Timing) {
        m_stage = Stage::Pattern;
        m_link.StartLinkOperation(Operation::PTIX);
        return;
    }
    report("ok");
}

void Sweep::report(const std::string &outcome)
{
    const TimingEntry &timing = TimingTable[m_values.currentTimingIndex];
    const PatternEntry &pattern = PatternTable[m_values.currentPatternIndex];
    const std::string when =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toStdString();
    std::fprintf(m_out, "%s\t%d\t%s\t%d\t%s\t%s\n", when.c_str(), timing.Number, timing.Name, pattern.Number,
                 pattern.Name, outcome.c_str());
    std::fflush(m_out);
    ++m_reported;
    const bool failed = outcome != "ok";
    if (failed)
        ++m_failed;
    if (m_interrupted) {
        end(Interrupted);
        return;
    }
    if (failed && !m_request.keepGoing) {
        end(SomeFailed);
        return;
    }
    m_stage = Stage::Dwell;
    // A failed pair is not held: the next one follows at once.
    m_dwell->start(failed ? 0 : m_request.dwellMs);
}

void Sweep::interrupt()
{
    m_interrupted = true;
    if (m_stage == Stage::Dwell) {
        m_dwell->stop();
        end(Interrupted);
    }
}

void Sweep::end(int status)
{
    if (m_stage == Stage::Done)
        return;
    m_stage = Stage::Done;
    if (status == Interrupted)
        std::fprintf(m_err, "stopped after %d of %d pairs, %d failed\n", m_reported, pairCount(), m_failed);
    else
        std::fprintf(m_err, "%d of %d pairs, %d failed\n", m_reported, pairCount(), m_failed);
    m_finish(status);
}
