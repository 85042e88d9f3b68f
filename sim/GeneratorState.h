#pragma once

#include <array>
#include <cstdint>
#include <string>

// What the generator has been told, as it would show it on its own front panel.
struct GeneratorState {
    static constexpr int kTimingCount = 35;
    static constexpr int kPatternCount = 39;
    static constexpr int kProgramRows = 32;
    static constexpr int kProgramSize = 4 * kProgramRows;
    static constexpr int kEdidSize = 256;
    static constexpr std::uint8_t kUnsetProgramByte = 0xFF;

    using TimingFlags = std::array<std::uint8_t, kTimingCount>;
    using PatternFlags = std::array<std::uint8_t, kPatternCount>;
    using Program = std::array<std::uint8_t, kProgramSize>;
    using Edid = std::array<std::uint8_t, kEdidSize>;

    // Factory settings, also what a default-settings restore brings back: every timing and
    // pattern in the auto-run selection and an empty program (all rows unset). The EDID memory
    // is not a setting and keeps what was written.
    static TimingFlags defaultTimingSelection()
    {
        TimingFlags flags{};
        flags.fill(1);
        return flags;
    }
    static PatternFlags defaultPatternSelection()
    {
        PatternFlags flags{};
        flags.fill(1);
        return flags;
    }
    static Program emptyProgram()
    {
        Program program{};
        program.fill(kUnsetProgramByte);
        return program;
    }

    int timingIndex = -1;  // -1 until a timing has been chosen
    int patternIndex = -1; // -1 until a pattern has been chosen
    TimingFlags timingSelection = defaultTimingSelection();
    PatternFlags patternSelection = defaultPatternSelection();
    // 32 rows of four bytes in arrival order: timing, pattern, unit, show time.
    Program program = emptyProgram();
    Edid edidMemory{};   // what an EDID read answers from
    Edid uploadedEdid{}; // the last complete upload, waiting to be written
    int edidUploads = 0;
    int edidWrites = 0;
    int edidReads = 0; // reads that reached the last block
    int defaultRestores = 0;
    int protocolErrors = 0;
    std::string lastCommand;
};
