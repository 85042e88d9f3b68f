#pragma once

#include "CliArguments.h"
#include "Outcome.h"

#include "LinkClock.h"

#include <cstdio>
#include <functional>
#include <memory>

class DeviceLink;
struct SharedValues;

// sgxctl sweep on a line whose generator has answered: for each pair, "TMIX" then "PTIX", then
// the dwell. One line per pair on standard output, tab-separated: time, timing number and name,
// pattern number and name, and "ok" or the failed run and its outcome ("TMIX: no response").
class Sweep {
public:
    enum Status { AllPassed = 0, SomeFailed = 1, Interrupted = 130 };

    // The lines go to out, the summary to err; the dwell is timed on clock.
    Sweep(const SweepRequest &request, DeviceLink &link, SharedValues &values, LinkClock &clock,
          std::function<void(int status)> finish, std::FILE *out = stdout, std::FILE *err = stderr);

    void start();
    // Each run's outcome moves the sweep on.
    void operationEnded(Operation op, Outcome outcome);
    // Ctrl+C: stop after the exchange in flight, or at once during a dwell.
    void interrupt();

    [[nodiscard]] int pairCount() const;

private:
    enum class Stage { Timing, Pattern, Dwell, Done };

    void startPair();
    void report(const std::string &outcome);
    void end(int status);

    SweepRequest m_request;
    DeviceLink &m_link;
    SharedValues &m_values;
    std::function<void(int)> m_finish;
    std::FILE *m_out;
    std::FILE *m_err;
    std::unique_ptr<LinkTimer> m_dwell;
    Stage m_stage = Stage::Timing;
    int m_pair = 0;
    int m_failed = 0;
    int m_reported = 0;
    bool m_interrupted = false;
};
