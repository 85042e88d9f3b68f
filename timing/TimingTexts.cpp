#include "TimingTexts.h"

QString FormatFixed3(double value)
{
    return QString::number(value, 'f', 3);
}

QString polarityText(std::uint8_t polarity)
{
    return polarity == 1 ? QStringLiteral("-") : QStringLiteral("+");
}

TimingTexts timingTexts(const TimingEntry &e)
{
    // Computed in the same steps as the generator's own tools: the reciprocal of the clock once,
    // the line time from it, both held in double.
    const double reciprocal = 1.0 / static_cast<double>(e.PClk);
    const double lineTime = static_cast<double>(e.HTol) * reciprocal;
    const auto horizontalTime = [reciprocal](std::uint32_t pixels) {
        return FormatFixed3(static_cast<double>(pixels) * reciprocal * 1000.0);
    };
    const auto verticalTime = [lineTime](std::uint32_t lines) {
        return FormatFixed3(static_cast<double>(lines) * lineTime);
    };

    TimingTexts t;
    t.number = QString::number(e.Number);
    t.name = QString::fromLatin1(e.Name);
    t.hTotal = QString::number(e.HTol);
    t.hActive = QString::number(e.HAct);
    t.hPulseDelay = QString::number(e.HPD);
    t.hPulseWidth = QString::number(e.HPW);
    t.hPolarity = polarityText(e.HPol);
    t.hRate = FormatFixed3(e.HRat * 0.001);
    t.hTotalTime = horizontalTime(e.HTol);
    t.hActiveTime = horizontalTime(e.HAct);
    t.hPulseDelayTime = horizontalTime(e.HPD);
    t.hPulseWidthTime = horizontalTime(e.HPW);
    t.vTotal = QString::number(e.VTol);
    t.vActive = QString::number(e.VAct);
    t.vPulseDelay = QString::number(e.VPD);
    t.vPulseWidth = QString::number(e.VPW);
    t.vPolarity = polarityText(e.VPol);
    t.vRate = FormatFixed3(e.VRat * 0.001);
    t.vTotalTime = verticalTime(e.VTol);
    t.vActiveTime = verticalTime(e.VAct);
    t.vPulseDelayTime = verticalTime(e.VPD);
    t.vPulseWidthTime = verticalTime(e.VPW);
    t.pixelClock = FormatFixed3(e.PClk * 0.001);
    return t;
}

const std::array<TimingTextField, 22> kTimingTextFields = {{
    {"name", &TimingTexts::name},
    {"hTotal", &TimingTexts::hTotal},
    {"hActive", &TimingTexts::hActive},
    {"hPulseDelay", &TimingTexts::hPulseDelay},
    {"hPulseWidth", &TimingTexts::hPulseWidth},
    {"hPolarity", &TimingTexts::hPolarity},
    {"hRate", &TimingTexts::hRate},
    {"hTotalTime", &TimingTexts::hTotalTime},
    {"hActiveTime", &TimingTexts::hActiveTime},
    {"hPulseDelayTime", &TimingTexts::hPulseDelayTime},
    {"hPulseWidthTime", &TimingTexts::hPulseWidthTime},
    {"vTotal", &TimingTexts::vTotal},
    {"vActive", &TimingTexts::vActive},
    {"vPulseDelay", &TimingTexts::vPulseDelay},
    {"vPulseWidth", &TimingTexts::vPulseWidth},
    {"vPolarity", &TimingTexts::vPolarity},
    {"vRate", &TimingTexts::vRate},
    {"vTotalTime", &TimingTexts::vTotalTime},
    {"vActiveTime", &TimingTexts::vActiveTime},
    {"vPulseDelayTime", &TimingTexts::vPulseDelayTime},
    {"vPulseWidthTime", &TimingTexts::vPulseWidthTime},
    {"pixelClock", &TimingTexts::pixelClock},
}};

QString pixelRateText(const TimingEntry &entry)
{
    return FormatFixed3(entry.PClk * 0.001) + QStringLiteral(" MHz");
}

QString horizontalRateText(const TimingEntry &entry)
{
    return FormatFixed3(entry.HRat * 0.001) + QStringLiteral(" KHz");
}

QString verticalRateText(const TimingEntry &entry)
{
    return FormatFixed3(entry.VRat * 0.001) + QStringLiteral(" Hz");
}
