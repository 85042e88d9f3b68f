// The line monitor's store and its words, below any window: what the line tells, in the order it
// happened, grouped by exchange, bounded; and the same from a byte trace.
#include "ByteTrace.h"
#include "LineMonitorFormat.h"
#include "LineMonitorLog.h"
#include "TraceReplay.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

LineEvent event(LineEvent::Kind kind, std::int64_t atMs, const std::string &bytes = {})
{
    LineEvent e;
    e.kind = kind;
    e.atMs = atMs;
    e.bytes = QByteArray::fromStdString(bytes);
    return e;
}

// A unit whose first character went out at firstMs, the others 35 ms apart, told 35 ms after the last.
LineEvent unitOut(const std::string &bytes, std::int64_t firstMs)
{
    LineEvent e =
        event(LineEvent::Kind::UnitOut, firstMs + 35 * static_cast<std::int64_t>(bytes.size()), bytes);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        e.times.push_back(firstMs + 35 * static_cast<std::int64_t>(i));
    return e;
}

LineMonitorEntry entry(LineMonitorEntry::Kind kind, std::int64_t atUs, const std::string &bytes,
                       const std::string &note = {})
{
    LineMonitorEntry e;
    e.kind = kind;
    e.atUs = atUs;
    e.note = note;
    e.append(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size(), atUs);
    return e;
}

// A Run Timing as the line thread tells it: each answer comes before the unit it answers is
// told, as it arrives within the unit's last 35 ms; the link's own events between.
const std::vector<LineEvent> &runTiming()
{
    static const std::vector<LineEvent> events = {
        event(LineEvent::Kind::Opened, 0),
        event(LineEvent::Kind::Received, 390, "OK\r\n"),
        unitOut(std::string("URTCNT \0 \n\r", 11), 10),
        event(LineEvent::Kind::AnswerWhole, 400),
        event(LineEvent::Kind::JobDone, 400),
        event(LineEvent::Kind::Received, 1330, "OK\r\n"),
        unitOut("TMIX \x01 \n\r", 1000),
        event(LineEvent::Kind::Received, 1590, "OK\r\n"),
        unitOut(" \x06 ", 1500),
        event(LineEvent::Kind::HungUp, 2000),
    };
    return events;
}

const char *const kRunTimingText = R"(      0.000 * opened

     10.000 > "URTCNT \x00 \n\r"    55 52 54 43 4E 54 20 00 20 0A 0D
    390.000 < "OK\r\n"              4F 4B 0D 0A

   1000.000 > "TMIX \x01 \n\r"      54 4D 49 58 20 01 20 0A 0D
   1330.000 < "OK\r\n"              4F 4B 0D 0A
   1500.000 > " \x06 "              20 06 20
   1590.000 < "OK\r\n"              4F 4B 0D 0A
   2000.000 * hung up
)";

std::string textOf(const LineMonitorLog &log)
{
    return LineMonitorFormat::text(log.entries());
}

TEST(LineMonitorFormat, OneLinePerEntryWithTimeDirectionEscapedTextAndHex)
{
    using K = LineMonitorEntry::Kind;
    const struct {
        LineMonitorEntry entry;
        std::string line;
    } cases[] = {
        {entry(K::Sent, 412000, "TMIX \x01 \n\r"),
         R"(    412.000 > "TMIX \x01 \n\r"      54 4D 49 58 20 01 20 0A 0D)"},
        {entry(K::Received, 438500, "OK\r\n"), R"(    438.500 < "OK\r\n"              4F 4B 0D 0A)"},
        {entry(K::Received, 7,
               "\"\\\t\x7F\xFF"
               "a"),
         R"(      0.007 < "\"\\\t\x7F\xFFa"     22 5C 09 7F FF 61)"},
        {entry(K::Received, 0, "A0123456789ABCDEF0123T"),
         R"(      0.000 < "A0123456789ABCDEF0123T"  41 30 31 32 33 34 35 36 37 38 39 41 42 43 44 45 46 30 31 32 33 54)"},
        {entry(K::Note, 123456789, "", "hung up: gone"), " 123456.789 * hung up: gone"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(LineMonitorFormat::line(c.entry), c.line);
}

TEST(LineMonitorLog, PutsEachUnitBeforeItsAnswerAndBeginsAnExchangeAtEachCommandLine)
{
    LineMonitorLog log;
    std::vector<std::pair<std::size_t, std::size_t>> changes;
    QObject::connect(&log, &LineMonitorLog::changed,
                     [&](std::size_t dropped, std::size_t from) { changes.emplace_back(dropped, from); });
    for (const LineEvent &e : runTiming())
        log.add(e);
    EXPECT_EQ(textOf(log), kRunTimingText);
    // The command line went in before the answer already shown: shown again from there.
    ASSERT_GE(changes.size(), 3U);
    EXPECT_EQ(changes[2], std::make_pair(std::size_t{0}, std::size_t{1}));
}

TEST(LineMonitorLog, AnAnswerUnderWayWhenAUnitBeginsIsSplitThere)
{
    LineMonitorLog log;
    log.add(event(LineEvent::Kind::Received, 1490, "OK"));
    log.add(event(LineEvent::Kind::Received, 1520, "\r\n"));
    log.add(event(LineEvent::Kind::EarlyAnswer, 1525));
    log.add(unitOut(" \x06 ", 1500));
    EXPECT_EQ(textOf(log), "   1490.000 < \"OK\"                  4F 4B\n"
                           "   1500.000 > \" \\x06 \"              20 06 20\n"
                           "   1520.000 < \"\\r\\n\"                0D 0A\n"
                           "   1525.000 * early answer: the payload stopped\n");
}

TEST(LineMonitorLog, AnAnswerEndsAtSilenceOrItsBound)
{
    LineMonitorLog log;
    const std::string flood(200, 'x');
    log.addReceived(0, reinterpret_cast<const std::uint8_t *>(flood.data()), flood.size());
    log.addReceived(100'000, reinterpret_cast<const std::uint8_t *>("y"), 1); // a receive tick later: goes on
    log.addReceived(200'001, reinterpret_cast<const std::uint8_t *>("z"), 1); // after a longer silence: anew
    ASSERT_EQ(log.entries().size(), 3U);
    EXPECT_EQ(log.entries()[0].bytes.size(), LineMonitorLog::kAnswerBytes);
    EXPECT_EQ(log.entries()[1].bytes.size(), 73U);
    EXPECT_EQ(log.entries()[2].bytes.size(), 1U);
}

TEST(LineMonitorLog, KeepsTheLastTenThousandEntries)
{
    LineMonitorLog log;
    std::pair<std::size_t, std::size_t> last;
    QObject::connect(&log, &LineMonitorLog::changed, [&](std::size_t dropped, std::size_t from) {
        last = {dropped, from};
    });
    for (int i = 0; i < 10'005; ++i)
        log.addNote(i, std::to_string(i));
    ASSERT_EQ(log.entries().size(), 10'000U);
    EXPECT_EQ(log.entries().front().note, "5");
    EXPECT_EQ(log.entries().back().note, "10004");
    EXPECT_EQ(last, std::make_pair(std::size_t{1}, std::size_t{9'999}));
    log.clear();
    EXPECT_TRUE(log.entries().empty());
}

TEST(TraceReplay, ATraceSavedFromTheLogReadsBackAsTheSameLines)
{
    LineMonitorLog log;
    for (const LineEvent &e : runTiming())
        log.add(e);
    std::istringstream saved(log.traceText());
    const std::vector<ByteTrace::Byte> bytes = ByteTrace::read(saved);
    ASSERT_EQ(bytes.size(), 11U + 9 + 3 + 3 * 4);
    LineMonitorLog replayed;
    TraceReplay::replay(bytes, replayed);
    // Only what happened to the line itself is not in a trace.
    std::string expected = kRunTimingText;
    expected.erase(0, expected.find("     10.000"));
    expected.erase(expected.find("   2000.000"));
    EXPECT_EQ(textOf(replayed), expected);
}

TEST(TraceReplay, UnitsAreFramedBytesAndCommandLinesWhateverTheirSpacing)
{
    std::vector<ByteTrace::Byte> bytes;
    double ms = 0;
    const auto send = [&](const std::string &s, double gapMs = 35) {
        for (const char c : s) {
            bytes.push_back({ms, ByteTrace::Direction::ToGenerator, static_cast<std::uint8_t>(c)});
            ms += gapMs;
        }
    };
    send("TM"); // cut short: the next line begins after a pause
    ms += 300;
    send(std::string("TMGS \x25 \n\r \x01  \x02  \x03 ", 18)); // a payload right behind its line
    send(std::string(40, 'x'));                                // no line end at all
    LineMonitorLog log;
    TraceReplay::replay(bytes, log);
    std::vector<std::string> units;
    for (const LineMonitorEntry &e : log.entries())
        units.emplace_back(e.bytes.begin(), e.bytes.end());
    EXPECT_EQ(units,
              (std::vector<std::string>{"TM", "TMGS \x25 \n\r", " \x01 ", " \x02 ", " \x03 ",
                                        std::string(TraceReplay::kLongestUnit, 'x'), std::string(8, 'x')}));
}

TEST(TraceReplay, ReadsOnlyARegularFileWithTraceLines)
{
    const fs::path dir = fs::temp_directory_path() / ("monitor-test-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string good = (dir / "good.txt").string();
    const std::string bad = (dir / "bad.txt").string();
    std::ofstream(good) << "    1.000 > 41\nnot a line\n -2.000 < 42\n    2.500 < 43\n";
    std::ofstream(bad) << "hello\n";
    const struct {
        std::string path;
        std::string error;
    } cases[] = {
        {dir.string(), dir.string() + ": a folder, not a file"},
        {"/dev/zero", "/dev/zero: a device, not a regular file"},
        {bad, bad + ": no line of a byte trace in it"},
        {(dir / "missing").string(), (dir / "missing").string() + ": No such file or directory"},
    };
    std::vector<ByteTrace::Byte> bytes;
    std::string error;
    for (const auto &c : cases) {
        EXPECT_FALSE(TraceReplay::readFile(c.path, bytes, error));
        EXPECT_EQ(error, c.error);
    }
    ASSERT_TRUE(TraceReplay::readFile(good, bytes, error)) << error;
    ASSERT_EQ(bytes.size(), 2U); // a time before the start is no trace's
    EXPECT_EQ(bytes[1].value, 0x43);
    fs::remove_all(dir);
}

} // namespace
