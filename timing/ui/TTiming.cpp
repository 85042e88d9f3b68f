#include "TTiming.h"

#include "Fonts.h"
#include "NumberBox.h"
#include "NumberSelectGroup.h"
#include "TTiming_List.h"
#include "TimingTable.h"
#include "TimingTexts.h"
#include "TimingValues.h"
#include "UpDownArrows.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// One read-only field: its control name, what it shows, its label (empty: none), its unit (empty:
// none), and its place within its group.
struct FieldPlace {
    const char *name;
    QString TimingTexts::*text;
    const char *label;
    const char *unit;
    int group; // 0 Horizontal, 1 Vertical, 2 below the groups
    int row;
    int column; // 0 count, 1 time
};

// clang-format off
const std::array<FieldPlace, 21> kFields = {{
    {"Timing_HTol_Edit",  &TimingTexts::hTotal,          "Total :",       "Pixels", 0, 0, 0},
    {"Timing_HAct_Edit",  &TimingTexts::hActive,         "Active :",      "Pixels", 0, 1, 0},
    {"Timing_HPD_Edit",   &TimingTexts::hPulseDelay,     "Pulse Delay :", "Pixels", 0, 2, 0},
    {"Timing_HPW_Edit",   &TimingTexts::hPulseWidth,     "Pulse Width :", "Pixels", 0, 3, 0},
    {"Timing_HPol_Edit",  &TimingTexts::hPolarity,       "Polarity :",    "",       0, 4, 0},
    {"Timing_HRat_Edit",  &TimingTexts::hRate,           "Rate :",        "KHz",    0, 5, 0},
    {"Timing_HTol_Edit2", &TimingTexts::hTotalTime,      "",              "uS",     0, 0, 1},
    {"Timing_HAct_Edit2", &TimingTexts::hActiveTime,     "",              "uS",     0, 1, 1},
    {"Timing_HPD_Edit2",  &TimingTexts::hPulseDelayTime, "",              "uS",     0, 2, 1},
    {"Timing_HPW_Edit2",  &TimingTexts::hPulseWidthTime, "",              "uS",     0, 3, 1},
    {"Timing_VTol_Edit",  &TimingTexts::vTotal,          "Total :",       "Lines",  1, 0, 0},
    {"Timing_VAct_Edit",  &TimingTexts::vActive,         "Active :",      "Lines",  1, 1, 0},
    {"Timing_VPD_Edit",   &TimingTexts::vPulseDelay,     "Pulse Delay :", "Lines",  1, 2, 0},
    {"Timing_VPW_Edit",   &TimingTexts::vPulseWidth,     "Pulse Width :", "Lines",  1, 3, 0},
    {"Timing_VPol_Edit",  &TimingTexts::vPolarity,       "Polarity :",    "",       1, 4, 0},
    {"Timing_VRat_Edit",  &TimingTexts::vRate,           "Rate :",        "Hz",     1, 5, 0},
    {"Timing_VTol_Edit2", &TimingTexts::vTotalTime,      "",              "mS",     1, 0, 1},
    {"Timing_VAct_Edit2", &TimingTexts::vActiveTime,     "",              "mS",     1, 1, 1},
    {"Timing_VPD_Edit2",  &TimingTexts::vPulseDelayTime, "",              "mS",     1, 2, 1},
    {"Timing_VPW_Edit2",  &TimingTexts::vPulseWidthTime, "",              "mS",     1, 3, 1},
    {"Timing_PClk_Edit",  &TimingTexts::pixelClock,      "Pixel Clock :", "MHz",    2, 0, 0},
}};
// clang-format on

// Layout, in pixels of the client area.
constexpr int kMargin = 12;
constexpr int kGroupGap = 12;
constexpr int kGroupWidth = 384;
constexpr int kSelectHeight = 84;
constexpr int kGroupTop = kMargin + kSelectHeight + 10;
constexpr int kGroupHeight = 300;
constexpr int kRowTop = 34;
constexpr int kRowPitch = 42;
constexpr int kFieldHeight = 26;
constexpr int kLabelLeft = 10;
constexpr int kLabelWidth = 104;
constexpr int kCountLeft = kLabelLeft + kLabelWidth + 6;
constexpr int kFieldWidth = 80;
constexpr int kUnitWidth = 48;
constexpr int kTimeLeft = kCountLeft + kFieldWidth + 5 + kUnitWidth + 4;

QLabel *makeLabel(QWidget *parent, const QString &text, const QRect &place, Qt::Alignment alignment)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(place);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

} // namespace

TTiming::TTiming(TimingValues &values, TTiming_List &list, QWidget *parent) : QWidget(parent), m_list(list)
{
    setObjectName(QStringLiteral("Timing"));
    setWindowTitle(QStringLiteral("Timing"));
    setFont(arialFont(16));

    m_groupBox1 = new NumberSelectGroup(
        {QStringLiteral("Timing"), QStringLiteral("TimingComboBox1"), QStringLiteral("TimingIndexName"),
         QStringLiteral("Button1"), QStringLiteral("Run_Timing")},
        static_cast<int>(TimingTable.size()), values.currentTimingIndex,
        [this](int index) { ShowTiming(index); }, this);
    m_groupBox1->setGeometry(kMargin, kMargin, 2 * kGroupWidth + kGroupGap, kSelectHeight);

    std::array<QGroupBox *, 2> groups{};
    for (int g = 0; g < 2; ++g) {
        groups[g] = new QGroupBox(g == 0 ? QStringLiteral("Horizontal") : QStringLiteral("Vertical"), this);
        groups[g]->setObjectName(g == 0 ? QStringLiteral("GroupBox2") : QStringLiteral("GroupBox3"));
        groups[g]->setGeometry(kMargin + g * (kGroupWidth + kGroupGap), kGroupTop, kGroupWidth, kGroupHeight);
    }
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        const FieldPlace &f = kFields[i];
        QWidget *group =
            f.group < 2 ? static_cast<QWidget *>(groups[static_cast<std::size_t>(f.group)]) : this;
        const int top = f.group < 2 ? kRowTop + f.row * kRowPitch : kGroupTop + kGroupHeight + 18;
        const int labelLeft = f.group < 2 ? kLabelLeft : kMargin + kLabelLeft;
        const int countLeft = labelLeft + kLabelWidth + 6;
        const int left = f.column == 0 ? countLeft : kTimeLeft;
        auto *field = new QLineEdit(group);
        field->setObjectName(QString::fromLatin1(f.name));
        field->setReadOnly(true);
        field->setGeometry(left, top, kFieldWidth, kFieldHeight);
        m_fields[i] = field;
        const QString groupName = f.group == 0   ? QStringLiteral("Horizontal ")
                                  : f.group == 1 ? QStringLiteral("Vertical ")
                                                 : QString();
        const QString label = QString::fromLatin1(f.label);
        const QString unit = QString::fromLatin1(f.unit);
        if (!label.isEmpty()) {
            QLabel *caption =
                makeLabel(group, label, QRect(labelLeft, top, kLabelWidth, kFieldHeight), Qt::AlignRight);
            caption->setBuddy(field);
        }
        if (!unit.isEmpty())
            makeLabel(group, unit, QRect(left + kFieldWidth + 5, top, kUnitWidth, kFieldHeight),
                      Qt::AlignLeft);
        // The time fields have no label of their own: named by the row's label and the unit.
        const QString rowLabel =
            QString::fromLatin1(kFields[i - (f.column == 1 ? 6 : 0)].label).remove(QStringLiteral(" :"));
        field->setAccessibleName(
            groupName + rowLabel + (f.column == 1 ? QStringLiteral(" time") : QString()) +
            (unit.isEmpty() ? QString() : QStringLiteral(" (") + unit + QStringLiteral(")")));
    }

    NumberBox &box = m_groupBox1->numberBox();
    connect(&box, &NumberBox::changed, this, &TTiming::TimingComboBox1Change);
    connect(&m_groupBox1->nameBox(), &QLineEdit::textChanged, this, &TTiming::TimingComboBox1Change);
    connect(&box, &NumberBox::keyDown, this, &TTiming::TimingComboBox1KeyDown);
    UpDownArrows &upDown1 = m_groupBox1->spinner();
    connect(&upDown1, &UpDownArrows::upClicked, this, [this] { UpDown1ChangingEx(true); });
    connect(&upDown1, &UpDownArrows::downClicked, this, [this] { UpDown1ChangingEx(false); });
    connect(&m_groupBox1->showButton(), &QPushButton::clicked, this, &TTiming::Button1Click);
    connect(&m_groupBox1->runButton(), &QPushButton::clicked, this, &TTiming::Run_TimingClick);

    // FormCreate, then the list and its first item.
    m_groupBox1->open();
}

void TTiming::ShowTiming(int index)
{
    if (index < 0 || index >= static_cast<int>(TimingTable.size()))
        return;
    const TimingTexts texts = timingTexts(TimingTable[static_cast<std::size_t>(index)]);
    NumberSelectGroup::writeText(m_groupBox1->numberBox(), texts.number);
    NumberSelectGroup::writeText(m_groupBox1->nameBox(), texts.name);
    for (std::size_t i = 0; i < kFields.size(); ++i)
        NumberSelectGroup::writeText(*m_fields[i], texts.*kFields[i].text);
}

void TTiming::FormActivate()
{
    m_groupBox1->activate();
}

void TTiming::TimingComboBox1Change()
{
    m_groupBox1->showSelected();
}

void TTiming::TimingComboBox1KeyDown(int key)
{
    m_groupBox1->stepSelection(key);
}

void TTiming::UpDown1ChangingEx(bool up)
{
    m_groupBox1->spin(up);
}

void TTiming::Button1Click()
{
    m_list.showWithoutHighlight();
}

void TTiming::Run_TimingClick()
{
    emit linkRequested({LinkRequest::Kind::Start, Operation::TMIX, {}});
}
