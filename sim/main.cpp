// sgx100-sim: the generator emulator on a pseudo-terminal.

#include "ByteTrace.h"
#include "EdidImage.h"
#include "GeneratorEngine.h"
#include "PseudoTerminal.h"
#include "SimOptions.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char *kProgram = "sgx100-sim";
// Answers nobody reads pile up here; past this a real line would have lost them too.
constexpr std::size_t kMaxPendingOutput = 64 * 1024;

int g_signalWriteFd = -1;

void onSignal(int number)
{
    const auto byte = static_cast<char>(number);
    const int saved = errno;
    [[maybe_unused]] const ssize_t written = write(g_signalWriteFd, &byte, 1);
    errno = saved;
}

// Signals are turned into a readable pipe so poll() wakes for them without a race.
[[nodiscard]] bool installSignalPipe(std::array<int, 2> &fds)
{
    if (pipe(fds.data()) != 0)
        return false;
    for (int fd : fds)
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    g_signalWriteFd = fds[1];
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    return sigaction(SIGINT, &action, nullptr) == 0 && sigaction(SIGTERM, &action, nullptr) == 0 &&
           sigaction(SIGUSR1, &action, nullptr) == 0;
}

class Clock {
public:
    [[nodiscard]] std::int64_t sinceStartUs() const
    {
        return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                     m_start)
            .count();
    }
    [[nodiscard]] std::int64_t sinceStartMs() const { return sinceStartUs() / 1000; }

private:
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

// Makes path a symbolic link to target, replacing an older link but never a real file.
[[nodiscard]] std::string makeLink(const std::string &path, const std::string &target)
{
    struct stat info {};
    if (lstat(path.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode))
            return path + " exists and is not a symbolic link";
        if (unlink(path.c_str()) != 0)
            return path + ": " + std::strerror(errno);
    }
    if (symlink(target.c_str(), path.c_str()) != 0)
        return path + ": " + std::strerror(errno);
    return {};
}

void removeLink(const std::string &path, const std::string &target)
{
    std::array<char, PATH_MAX> buffer{};
    const ssize_t n = readlink(path.c_str(), buffer.data(), buffer.size() - 1);
    // Only our own link: another emulator may have taken the name over meanwhile.
    if (n > 0 && std::string(buffer.data(), static_cast<std::size_t>(n)) == target)
        unlink(path.c_str());
}

class Emulator {
public:
    Emulator(GeneratorEngine &engine, ByteTrace &trace) : m_engine(engine), m_trace(trace) {}

    // Serves the line until a signal or a hang-up; returns the exit status.
    int run(PseudoTerminal &pty, int signalFd)
    {
        while (true) {
            if (pty.masterFd() >= 0)
                flushDue(pty.masterFd());
            if (m_engine.hungUp() && pty.masterFd() >= 0) {
                if (!m_engine.faults().keepSlave) {
                    pty.close();
                    std::fprintf(stderr, "%s: line closed\n", kProgram);
                    return 0;
                }
                // The device stays: whoever has it open now reads end-of-file, not an error.
                pty.closeMaster();
                std::fprintf(stderr, "%s: line closed, device kept open\n", kProgram);
            }
            const std::int64_t next = m_engine.nextDueMs();
            int timeoutMs = -1;
            if (next >= 0)
                timeoutMs =
                    static_cast<int>(std::clamp<std::int64_t>(next - m_clock.sinceStartMs(), 0, INT_MAX));

            std::array<pollfd, 2> fds{};
            fds[0] = {pty.masterFd(), static_cast<short>(POLLIN | (m_pending.empty() ? 0 : POLLOUT)), 0};
            fds[1] = {signalFd, POLLIN, 0};
            if (poll(fds.data(), fds.size(), timeoutMs) < 0) {
                if (errno == EINTR)
                    continue;
                std::fprintf(stderr, "%s: poll: %s\n", kProgram, std::strerror(errno));
                return 1;
            }
            if (fds[1].revents != 0) {
                char number = 0;
                if (read(signalFd, &number, 1) == 1 && number == SIGUSR1) {
                    m_engine.hangUp("on request");
                    continue;
                }
                std::fprintf(stderr, "%s: stopped\n", kProgram);
                return 0;
            }
            if (pty.masterFd() < 0)
                continue;
            if ((fds[0].revents & POLLIN) != 0 && !readInput(pty.masterFd()))
                return 1;
            if ((fds[0].revents & (POLLERR | POLLNVAL)) != 0) {
                std::fprintf(stderr, "%s: pseudo-terminal failed\n", kProgram);
                return 1;
            }
        }
    }

private:
    [[nodiscard]] bool readInput(int fd)
    {
        std::array<std::uint8_t, 256> buffer{};
        const ssize_t n = read(fd, buffer.data(), buffer.size());
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            return true;
        if (n <= 0) {
            std::fprintf(stderr, "%s: pseudo-terminal read failed: %s\n", kProgram,
                         n == 0 ? "end of file" : std::strerror(errno));
            return false;
        }
        m_trace.record(m_clock.sinceStartUs(), ByteTrace::Direction::ToGenerator, buffer.data(),
                       static_cast<std::size_t>(n));
        const std::int64_t now = m_clock.sinceStartMs();
        for (ssize_t i = 0; i < n; ++i)
            m_engine.receive(buffer[static_cast<std::size_t>(i)], now);
        return true;
    }

    void flushDue(int fd)
    {
        const std::vector<std::uint8_t> due = m_engine.takeDue(m_clock.sinceStartMs());
        const std::size_t room = kMaxPendingOutput - std::min(kMaxPendingOutput, m_pending.size());
        if (due.size() > room && !m_warnedOverflow) {
            std::fprintf(stderr, "%s: nobody reads the line, answers dropped\n", kProgram);
            m_warnedOverflow = true;
        }
        m_pending.insert(m_pending.end(), due.begin(),
                         due.begin() + static_cast<std::ptrdiff_t>(std::min(room, due.size())));

        while (!m_pending.empty()) {
            std::array<std::uint8_t, 1024> chunk{};
            const std::size_t count = std::min(chunk.size(), m_pending.size());
            std::copy_n(m_pending.begin(), count, chunk.begin());
            const ssize_t n = write(fd, chunk.data(), count);
            if (n <= 0)
                return; // full (or a short-lived error): poll() says when to try again
            m_trace.record(m_clock.sinceStartUs(), ByteTrace::Direction::FromGenerator, chunk.data(),
                           static_cast<std::size_t>(n));
            m_pending.erase(m_pending.begin(), m_pending.begin() + n);
            m_warnedOverflow = false;
        }
    }

    GeneratorEngine &m_engine;
    ByteTrace &m_trace;
    Clock m_clock;
    std::deque<std::uint8_t> m_pending;
    bool m_warnedOverflow = false;
};

} // namespace

int main(int argc, char **argv)
{
    SimOptions options;
    std::string problem;
    if (!parseSimOptions(std::vector<std::string>(argv + 1, argv + argc), options, problem)) {
        std::fprintf(stderr, "%s: %s\n%s\n%s --help lists the options\n", kProgram, problem.c_str(),
                     simUsage(kProgram).c_str(), kProgram);
        return 2;
    }
    if (options.help) {
        std::printf("%s\n", simHelp(kProgram).c_str());
        return 0;
    }
    if (options.version) {
        std::printf("%s %s\n", kProgram, SGX_VERSION);
        return 0;
    }

    GeneratorEngine engine(options.faults);
    engine.onChange = [](const std::string &line) { std::fprintf(stderr, "%s\n", line.c_str()); };
    if (!options.edidPath.empty()) {
        GeneratorState::Edid edid{};
        std::string report;
        if (!loadEdidFile(options.edidPath, edid, report)) {
            std::fprintf(stderr, "%s: cannot load the EDID: %s\n", kProgram, report.c_str());
            return 2;
        }
        std::fprintf(stderr, "%s: %s\n", kProgram, report.c_str());
        engine.setEdid(edid);
    }
    ByteTrace trace;
    if (!options.tracePath.empty() && !trace.open(options.tracePath)) {
        std::fprintf(stderr, "%s: cannot write the trace: %s\n", kProgram, trace.error().c_str());
        return 2;
    }

    PseudoTerminal pty;
    std::string error;
    if (!pty.open(error)) {
        std::fprintf(stderr, "%s: %s\n", kProgram, error.c_str());
        return 1;
    }
    std::array<int, 2> signalPipe{-1, -1};
    if (!installSignalPipe(signalPipe)) {
        std::fprintf(stderr, "%s: cannot install signal handlers\n", kProgram);
        return 1;
    }
    const std::string slavePath = pty.slavePath();
    if (!options.linkPath.empty()) {
        error = makeLink(options.linkPath, slavePath);
        if (!error.empty()) {
            std::fprintf(stderr, "%s: %s\n", kProgram, error.c_str());
            return 2;
        }
    }

    std::printf("%s\n", slavePath.c_str());
    std::fflush(stdout);

    Emulator emulator(engine, trace);
    int status = emulator.run(pty, signalPipe[0]);
    if (!options.linkPath.empty())
        removeLink(options.linkPath, slavePath);
    if (trace.failed()) {
        std::fprintf(stderr, "%s: the trace is incomplete: %s\n", kProgram, trace.error().c_str());
        status = status == 0 ? 1 : status;
    }
    return status;
}
