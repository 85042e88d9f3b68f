// sgx100-sim as a separate process on a real pseudo-terminal, at real pacing.

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <fstream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

bool readable(int fd, int timeoutMs)
{
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, timeoutMs) > 0;
}

// The emulator as a child process; killed at the end of the test if it is still running.
class SimChild {
public:
    explicit SimChild(std::vector<std::string> args)
    {
        std::array<int, 2> out{};
        if (pipe(out.data()) != 0)
            return;
        args.insert(args.begin(), SGX100_SIM_PATH);
        m_pid = fork();
        if (m_pid == 0) {
            dup2(out[1], STDOUT_FILENO);
            std::vector<char *> argv;
            for (std::string &a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(out[1]);
        m_stdout = out[0];
    }
    ~SimChild()
    {
        if (m_pid > 0 && m_status < 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        close(m_stdout);
    }
    SimChild(const SimChild &) = delete;
    SimChild &operator=(const SimChild &) = delete;

    std::string firstLine()
    {
        std::string line;
        char c = 0;
        while (readable(m_stdout, 5000) && read(m_stdout, &c, 1) == 1 && c != '\n')
            line += c;
        return line;
    }
    void terminate() { kill(m_pid, SIGTERM); }
    // Exit status, or -1 if it is still running after three seconds.
    int exitStatus()
    {
        for (int i = 0; i < 300 && m_status < 0; ++i) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid)
                m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            else
                std::this_thread::sleep_for(10ms);
        }
        return m_status;
    }

private:
    pid_t m_pid = -1;
    int m_stdout = -1;
    int m_status = -1;
};

int openRaw(const std::string &path)
{
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios tio{};
    if (fd >= 0 && tcgetattr(fd, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(fd, TCSANOW, &tio);
    }
    return fd;
}

void sendPaced(int fd, const std::string &bytes)
{
    for (char b : bytes) {
        ASSERT_EQ(write(fd, &b, 1), 1);
        std::this_thread::sleep_for(35ms);
    }
}

// What arrives until want is complete, or two seconds have passed.
std::string readUntil(int fd, const std::string &want)
{
    std::string got;
    const auto end = std::chrono::steady_clock::now() + 2s;
    while (got.find(want) == std::string::npos && std::chrono::steady_clock::now() < end) {
        std::array<char, 256> buffer{};
        const ssize_t n = readable(fd, 50) ? read(fd, buffer.data(), buffer.size()) : 0;
        if (n < 0)
            break;
        got.append(buffer.data(), static_cast<std::size_t>(n));
    }
    return got;
}

const std::string kPresenceCheck("URTCNT \x00 \n\r", 11);

TEST(SimProcess, AnswersThePresenceCheckAgainAfterAReopen)
{
    SimChild sim({});
    const std::string path = sim.firstLine();
    ASSERT_EQ(path.rfind("/dev/", 0), 0u) << path;
    for (int round = 0; round < 2; ++round) {
        const int fd = openRaw(path);
        ASSERT_GE(fd, 0);
        sendPaced(fd, kPresenceCheck);
        EXPECT_EQ(readUntil(fd, "OK\r\n"), "OK\r\n") << "round " << round;
        close(fd);
    }
    sim.terminate();
    EXPECT_EQ(sim.exitStatus(), 0);

    SimChild badArgument({"--malformed-block", "8"});
    EXPECT_EQ(badArgument.exitStatus(), 2);
}

TEST(SimProcess, TraceAndLinkFiles)
{
    const std::string trace = ::testing::TempDir() + "sgx100_sim_trace.txt";
    const std::string link = ::testing::TempDir() + "sgx100_sim_link";
    SimChild sim({"--trace", trace, "--link", link});
    const std::string path = sim.firstLine();
    std::array<char, 256> target{};
    ASSERT_GT(readlink(link.c_str(), target.data(), target.size() - 1), 0);
    EXPECT_EQ(std::string(target.data()), path);

    const int fd = openRaw(link);
    ASSERT_GE(fd, 0);
    sendPaced(fd, kPresenceCheck);
    EXPECT_EQ(readUntil(fd, "OK\r\n"), "OK\r\n");
    close(fd);
    sim.terminate();
    ASSERT_EQ(sim.exitStatus(), 0);
    struct stat info {};
    EXPECT_NE(lstat(link.c_str(), &info), 0) << "link removed on exit";

    std::ifstream in(trace);
    const std::regex format(R"( *\d+\.\d{3} ([<>]) ([0-9A-F]{2}))");
    std::string line;
    std::string sent;
    std::string answered;
    double previousMs = 0;
    while (std::getline(in, line)) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, format)) << line;
        EXPECT_GE(std::stod(line), previousMs);
        previousMs = std::stod(line);
        (m[1] == ">" ? sent : answered) += static_cast<char>(std::stoi(m[2], nullptr, 16));
    }
    EXPECT_EQ(sent, kPresenceCheck);
    EXPECT_EQ(answered, "OK\r\n");
}

TEST(SimProcess, HangUpClosesTheLine)
{
    SimChild sim({"--hang-up"});
    const int fd = openRaw(sim.firstLine());
    ASSERT_GE(fd, 0);
    sendPaced(fd, std::string("TMIX \x01 \n\r", 9));
    EXPECT_EQ(readUntil(fd, "OK\r\n"), "OK\r\n");
    sendPaced(fd, " "); // half of a one-byte payload

    pollfd p{fd, POLLIN, 0};
    ASSERT_GT(poll(&p, 1, 2000), 0);
    EXPECT_NE(p.revents & POLLHUP, 0);
    std::array<char, 16> buffer{};
    EXPECT_LE(read(fd, buffer.data(), buffer.size()), 0) << "nothing but the end of the line";
    close(fd);
    EXPECT_EQ(sim.exitStatus(), 0);
}

} // namespace
