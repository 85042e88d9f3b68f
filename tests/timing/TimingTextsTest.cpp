// The timing table and its texts, against the worked values and against a second computation.
#include "TimingTexts.h"
#include "TimingGridModels.h"
#include "TimingReference.h"
#include "TimingTable.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

QStringList texts(const TimingTexts &t)
{
    return {t.hRate,      t.hTotalTime, t.hActiveTime, t.hPulseDelayTime, t.hPulseWidthTime,
            t.vRate,      t.vTotalTime, t.vActiveTime, t.vPulseDelayTime, t.vPulseWidthTime,
            t.pixelClock, t.hPolarity,  t.vPolarity};
}

std::string join(const QStringList &list)
{
    return list.join(QLatin1Char(' ')).toStdString();
}

TEST(TimingTable, WorkedEntriesShowTheirValues)
{
    const TimingTexts first = timingTexts(TimingTable[0]);
    EXPECT_EQ(first.name, "640x480-60");
    EXPECT_EQ(join(texts(first)),
              "31.469 31.778 25.422 0.636 3.813 59.940 16.683 15.253 0.318 0.064 25.175 - -");
    const TimingTexts thirtieth = timingTexts(TimingTable[29]);
    EXPECT_EQ(thirtieth.name, "1920x1080P-60");
    EXPECT_EQ(join(texts(thirtieth)),
              "67.500 14.815 12.929 0.593 0.296 60.000 16.667 16.000 0.059 0.074 148.500 + +");
}

TEST(TimingTable, OddEntries)
{
    EXPECT_EQ(timingTexts(TimingTable[27]).vRate, "30.000"); // 1920x1080I-60 stores its frame rate
    for (const auto &[index, activeTime] : {std::pair{20, "53.333"}, std::pair{21, "53.280"}}) {
        const TimingTexts t = timingTexts(TimingTable[index]);
        EXPECT_EQ(t.hActive, "1440");
        EXPECT_EQ(t.hActiveTime, activeTime);
    }
    EXPECT_EQ(timingTexts(TimingTable[20]).vTotalTime, "33.367"); // whole lines, interlaced too
    EXPECT_EQ(timingTexts(TimingTable[18]).pixelClock, "162.000");
    EXPECT_EQ(timingTexts(TimingTable[30]).hRate, "15.625");
    EXPECT_EQ(timingTexts(TimingTable[30]).hTotalTime, "64.000");
    EXPECT_EQ(timingTexts(TimingTable[6]).vPulseDelayTime, "0.770");
    EXPECT_EQ(timingTexts(TimingTable[17]).vPulseDelayTime, "0.011");
    EXPECT_EQ(QString::fromLatin1(TimingTable[30].Name), "720x576I");
    EXPECT_EQ(QString::fromLatin1(TimingTable[22].Name), "720x480P-59");
    EXPECT_EQ(polarityText(7), "+");
    EXPECT_EQ(FormatFixed3(0.0114), "0.011");
}

// Every text of every entry, and the list columns, against exact integer arithmetic.
TEST(TimingTable, EveryEntryAgreesWithASecondComputation)
{
    using namespace TimingReference;
    HighlightGridModel *list = makeTimingListModel(nullptr);
    for (std::size_t i = 0; i < TimingTable.size(); ++i) {
        const TimingEntry &e = TimingTable[i];
        const QStringList expected = {scaled(e.HRat),
                                      horizontalTime(e.HTol, e.PClk),
                                      horizontalTime(e.HAct, e.PClk),
                                      horizontalTime(e.HPD, e.PClk),
                                      horizontalTime(e.HPW, e.PClk),
                                      scaled(e.VRat),
                                      verticalTime(e.VTol, e.HTol, e.PClk),
                                      verticalTime(e.VAct, e.HTol, e.PClk),
                                      verticalTime(e.VPD, e.HTol, e.PClk),
                                      verticalTime(e.VPW, e.HTol, e.PClk),
                                      scaled(e.PClk),
                                      e.HPol == 1 ? "-" : "+",
                                      e.VPol == 1 ? "-" : "+"};
        EXPECT_EQ(join(texts(timingTexts(e))), join(expected)) << e.Name;
        const int row = static_cast<int>(i);
        EXPECT_EQ(list->index(row, 1).data().toString(), scaled(e.PClk) + " MHz");
        EXPECT_EQ(list->index(row, 2).data().toString(), scaled(e.HRat) + " KHz");
        EXPECT_EQ(list->index(row, 3).data().toString(), scaled(e.VRat) + " Hz");
    }
    delete list;
}

} // namespace
