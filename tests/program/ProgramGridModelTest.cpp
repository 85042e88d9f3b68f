// The program being edited through its grid: what each box writes, and the mends.
#include "ProgramGridModel.h"
#include "GridCellRole.h"

#include <gtest/gtest.h>

namespace {

using ShowTimeText = ProgramGridModel::ShowTimeText;

QString cell(const ProgramGridModel &model, int gridRow, int column)
{
    return model.index(gridRow - 1, column).data().toString();
}

std::array<int, 4> stepOf(const ProgramGridModel &model, int gridRow)
{
    const ProgramStep s = model.sequence().step(gridRow - 1);
    return {s.TimingIndex, s.PatternIndex, s.UnitIndex, s.ShowTime};
}

void compose(ProgramGridModel &model, int gridRow, int timing, int pattern, int unit, const char *showTime)
{
    model.setEditRow(gridRow);
    model.setTiming(timing);
    model.setPattern(pattern);
    model.setUnit(unit);
    ASSERT_EQ(model.setShowTime(QString::fromLatin1(showTime)), ShowTimeText::Stored);
}

TEST(ProgramGridModel, GridTextsAndTheEditedRowsPainting)
{
    ProgramGridModel model;
    ASSERT_EQ(model.rowCount(), 32);
    const QStringList headings = {"Seq.", "         Timing", "            Pattern", "         Unit",
                                  " Show Time"};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(model.headerData(c, Qt::Horizontal).toString(), headings[c]);
    EXPECT_EQ(cell(model, 1, 0), QStringLiteral("0"));
    EXPECT_EQ(cell(model, 32, 0), QStringLiteral("31"));
    EXPECT_EQ(cell(model, 32, 4), QStringLiteral("       "));

    const auto paint = [&model](int gridRow, int column) {
        return static_cast<CellPaint>(model.index(gridRow - 1, column).data(kCellPaintRole).toInt());
    };
    EXPECT_EQ(paint(1, 0), CellPaint::Highlight);
    EXPECT_EQ(paint(1, 4), CellPaint::Highlight);
    EXPECT_EQ(paint(2, 1), CellPaint::Window);
    model.setEditRow(5);
    EXPECT_EQ(paint(1, 1), CellPaint::Window);
    EXPECT_EQ(paint(5, 3), CellPaint::Highlight);
    for (int outside : {0, 33, -1}) { // the heading, or no current cell
        model.setEditRow(outside);
        EXPECT_EQ(model.editRow(), 5);
    }
}

TEST(ProgramGridModel, ABoxThatNamesNoEntryLeavesItsCellBlank)
{
    ProgramGridModel model;
    compose(model, 4, 5, 2, 1, "5");
    model.setTiming(-1);
    model.setPattern(-1);
    model.setUnit(-1);
    EXPECT_EQ(stepOf(model, 4), (std::array<int, 4>{255, 255, 255, 5}));
    for (int column = 1; column <= 3; ++column)
        EXPECT_EQ(cell(model, 4, column), QStringLiteral("   ")) << column;
    model.setTiming(35);
    model.setPattern(39);
    model.setUnit(2);
    EXPECT_EQ(stepOf(model, 4), (std::array<int, 4>{255, 255, 255, 5}));
}

TEST(ProgramGridModel, TypedShowTimes)
{
    struct Case {
        const char *text;
        ShowTimeText outcome;
        int stored;        // the ShowTime field afterwards, from 7
        const char *shown; // the cell afterwards
    };
    const Case cases[] = {
        {"5", ShowTimeText::Stored, 5, "5"},
        {"59", ShowTimeText::Stored, 59, "59"},
        {"0", ShowTimeText::Stored, 0, "0"},
        {"007", ShowTimeText::Stored, 7, "007"},
        {"254", ShowTimeText::Stored, 254, "254"},
        {"255", ShowTimeText::Stored, 255, "   "},
        {"+12", ShowTimeText::Stored, 12, "+12"},
        {"261", ShowTimeText::Stored, 255, "   "},
        {"300", ShowTimeText::Stored, 255, "   "},
        {"-3", ShowTimeText::Stored, 255, "   "},
        {"-0", ShowTimeText::Stored, 0, "-0"},
        {"99999999999", ShowTimeText::Stored, 255, "   "},
        {"99999999999999999999", ShowTimeText::Stored, 255, "   "},
        {"", ShowTimeText::Empty, 7, "7"},
        {"5a", ShowTimeText::NotAWholeNumber, 7, "7"},
        {"-", ShowTimeText::NotAWholeNumber, 7, "7"},
        {" 5", ShowTimeText::NotAWholeNumber, 7, "7"},
        {"1.5", ShowTimeText::NotAWholeNumber, 7, "7"},
    };
    for (const Case &c : cases) {
        ProgramGridModel model;
        model.setEditRow(2);
        ASSERT_EQ(model.setShowTime(QStringLiteral("7")), ShowTimeText::Stored);
        EXPECT_EQ(model.setShowTime(QString::fromLatin1(c.text)), c.outcome) << c.text;
        EXPECT_EQ(model.sequence().ShowTime[1], c.stored) << c.text;
        // Never a number the step does not have: what is not set shows as the Delete key leaves it.
        EXPECT_EQ(cell(model, 2, 4), QString::fromLatin1(c.shown)) << c.text;
    }
}

} // namespace
