#include "ByteTrace.h"

#include "FileSizeLimit.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace {

TEST(ByteTrace, AWriteThatFailsIsRememberedAndEndsTheTrace)
{
    const std::string path = ::testing::TempDir() + "byte_trace_" + std::to_string(::getpid()) + ".txt";
    ByteTrace trace;
    ASSERT_TRUE(trace.open(path));
    const std::array<std::uint8_t, 3> ok = {'O', 'K', 0x0D};
    trace.record(1500, ByteTrace::Direction::FromGenerator, ok.data(), ok.size());
    trace.record(2250, ByteTrace::Direction::ToGenerator, ok.data(), 1);
    EXPECT_FALSE(trace.failed());
    EXPECT_EQ(trace.error(), "");
    const auto size = std::filesystem::file_size(path);
    {
        FileSizeLimit limit(size + 10); // a disk that fills up within the next line
        trace.record(3000, ByteTrace::Direction::ToGenerator, ok.data(), ok.size());
    }
    EXPECT_TRUE(trace.failed());
    EXPECT_EQ(trace.error(), path + ": File too large");
    trace.record(4000, ByteTrace::Direction::ToGenerator, ok.data(), ok.size());
    EXPECT_EQ(std::filesystem::file_size(path), size + 10) << "nothing more after the failure";

    const auto bytes = ByteTrace::read(path);
    ASSERT_EQ(bytes.size(), 4u) << "the whole lines before the failure";
    EXPECT_EQ(bytes[0].value, 'O');
    EXPECT_DOUBLE_EQ(bytes[0].atMs, 1.5);
    EXPECT_EQ(bytes[3].direction, ByteTrace::Direction::ToGenerator);
    EXPECT_DOUBLE_EQ(bytes[3].atMs, 2.25);
    std::remove(path.c_str());
}

TEST(ByteTrace, AFileOfTheKernelsTakesNoTrace)
{
    // One this process may write, whoever runs the test; what it says is the thread's name.
    const std::string path = "/proc/self/comm";
    ByteTrace trace;
    EXPECT_FALSE(trace.open(path));
    EXPECT_EQ(trace.error(), path + ": a file of the kernel's, not a regular file");
}

} // namespace
