#pragma once

#include "TimingTable.h"

#include <QString>

#include <array>

// Fixed-point text with exactly three decimals, to the nearest thousandth: every rate, time and
// clock the timing windows show.
[[nodiscard]] QString FormatFixed3(double value);
// "-" for 1 (negative), "+" for anything else.
[[nodiscard]] QString polarityText(std::uint8_t polarity);

// Everything the windows show of one entry, each the exact text of its field, without the unit.
struct TimingTexts {
    QString number;
    QString name;
    QString hTotal, hActive, hPulseDelay, hPulseWidth, hPolarity, hRate;
    QString hTotalTime, hActiveTime, hPulseDelayTime, hPulseWidthTime;
    QString vTotal, vActive, vPulseDelay, vPulseWidth, vPolarity, vRate;
    QString vTotalTime, vActiveTime, vPulseDelayTime, vPulseWidthTime;
    QString pixelClock;
};

[[nodiscard]] TimingTexts timingTexts(const TimingEntry &entry);

// The text fields by their names, in the order sgxctl lists them (after the number).
struct TimingTextField {
    const char *key;
    QString TimingTexts::*text;
};
extern const std::array<TimingTextField, 22> kTimingTextFields;

// The three rates as the lists show them, unit included: "25.175 MHz", "31.469 KHz", "59.940 Hz".
[[nodiscard]] QString pixelRateText(const TimingEntry &entry);
[[nodiscard]] QString horizontalRateText(const TimingEntry &entry);
[[nodiscard]] QString verticalRateText(const TimingEntry &entry);
