#include "EdidGridModel.h"
#include "EdidHex.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

namespace {

constexpr char16_t kBs = EdidHex::kBackspace;

TEST(EdidHex, CellTexts)
{
    EXPECT_EQ(EdidHex::byteText(0x07) + EdidHex::byteText(0xA5) + EdidHex::byteText(0xFF), "07A5FF");
    const std::vector<std::pair<QString, std::optional<QString>>> accepted = {
        {"", QString("")},
        {"7", QString("7")},
        {"a5", QString("A5")},
        {"Fe", QString("FE")},
        {"A5C", std::nullopt},
        {"1G", std::nullopt},
        {" 1", std::nullopt},
        {"-1", std::nullopt},
        {"0x", std::nullopt},
        {QString::fromUtf8("\xc3\xa9"), std::nullopt},
        {QString(QChar(kBs)), std::nullopt}};
    for (const auto &[text, cell] : accepted)
        EXPECT_EQ(EdidHex::acceptedCellText(text), cell) << text.toStdString();
    const std::vector<std::pair<QString, QString>> normalised = {
        {"", "00"}, {"7", "07"}, {"A", "0A"}, {"0", "00"}, {"0F", "0F"}, {"10", "10"}, {"FF", "FF"}};
    for (const auto &[text, shown] : normalised)
        EXPECT_EQ(EdidHex::normalisedCellText(text), shown) << text.toStdString();
    EXPECT_EQ(EdidHex::cellByte("A5"), 0xA5);
    EXPECT_EQ(EdidHex::cellByte("7"), 0x07);
    EXPECT_EQ(EdidHex::cellByte(""), std::nullopt);
    EXPECT_EQ(EdidHex::unreadableCellMessage(""), "'0x' is not a valid integer value.");
}

TEST(EdidHex, CharacterFilter)
{
    struct Case {
        char16_t typed;
        bool editStart;
        const char *cell;
        char16_t result; // 0: refused
    };
    const Case cases[] = {
        {'a', true, "00", 'A'}, {'5', false, "A", '5'}, {'7', false, "A5", 0},  {kBs, false, "A5", kBs},
        {'c', false, "A", 'C'}, {'F', true, "FF", 'F'}, {'9', false, "", '9'},  {'g', true, "", 0},
        {'-', false, "", 0},    {' ', false, "", 0},    {'\r', false, "", 0},   {0x1b, false, "", 0},
        {0x16, true, "", 0},    {0xE9, false, "", 0},   {0x0661, false, "", 0}, {'B', false, "12", 0}};
    for (const Case &c : cases)
        EXPECT_EQ(
            EdidHex::filterTypedCharacter(QChar(c.typed), c.editStart, QString::fromLatin1(c.cell)).unicode(),
            c.result)
            << "typed " << int(c.typed) << " start " << c.editStart << " in '" << c.cell << "'";
}

EdidBytes counting()
{
    EdidBytes bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i);
    return bytes;
}

TEST(EdidGridModel, HeadingsMappingAndWhatACellTakes)
{
    EdidGridModel model;
    EXPECT_EQ(model.index(15, 15).data().toString(), "00"); // zero before the first load
    model.load(counting());
    for (const Qt::Orientation o : {Qt::Horizontal, Qt::Vertical})
        EXPECT_EQ(model.headerData(1, o).toString() + model.headerData(10, o).toString(), " 01 0A");
    EXPECT_EQ(model.index(1, 2).data().toString(), "12"); // grid row 2, column 3
    EXPECT_EQ(model.index(7, 15).data().toString(), "7F");

    const QModelIndex cell = model.index(2, 4);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    EXPECT_TRUE(model.setData(cell, "a5"));
    for (const char *bad : {"A5C", "1G", " ", "0x1"})
        EXPECT_FALSE(model.setData(cell, QString::fromLatin1(bad))) << bad;
    EXPECT_EQ(cell.data().toString(), "A5");
    EXPECT_TRUE(model.setData(cell, ""));
    ASSERT_EQ(changed.size(), 2);
    EXPECT_EQ(changed[1][0].toModelIndex(), cell);
    EXPECT_EQ(changed[1][1].toModelIndex(), cell);
}

TEST(EdidGridModel, NormalisingAndStoringAllOrNothing)
{
    EdidGridModel model;
    model.load(counting());
    ASSERT_TRUE(model.setData(model.index(0, 1), "7"));
    ASSERT_TRUE(model.setData(model.index(9, 9), "B"));
    ASSERT_TRUE(model.setData(model.index(12, 5), ""));
    ASSERT_TRUE(model.setData(model.index(14, 0), ""));
    EdidBytes bytes;
    bytes.fill(0x55);
    QString error;
    EXPECT_FALSE(model.store(bytes, error));
    EXPECT_EQ(error, "'0x' is not a valid integer value.");
    EdidBytes untouched;
    untouched.fill(0x55);
    EXPECT_EQ(bytes, untouched);

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.normalise();
    EXPECT_EQ(changed.size(), 4); // one per changed cell, none for the others
    EXPECT_EQ(model.index(0, 1).data().toString() + model.index(9, 9).data().toString() +
                  model.index(12, 5).data().toString(),
              "070B00");
    EXPECT_TRUE(model.store(bytes, error));
    EdidBytes expected = counting();
    expected[1] = 0x07;
    expected[0x99] = 0x0B;
    expected[12 * 16 + 5] = expected[14 * 16] = 0x00;
    EXPECT_EQ(bytes, expected);
}

} // namespace
