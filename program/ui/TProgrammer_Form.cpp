#include "TProgrammer_Form.h"

#include "MessageBoxes.h"
#include "OuterGeometry.h"
#include "PatternTable.h"
#include "PatternTexts.h"
#include "ProgramGridModel.h"
#include "ProgramSequence.h"
#include "ProgramValues.h"
#include "StringGrid.h"
#include "TimingTable.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace {

const std::array<int, 5> kColumnWidths = {33, 140, 183, 115, 106};
constexpr int kLabelHeight = 22;
constexpr int kBoxHeight = 28;

} // namespace

TProgrammer_Form::TProgrammer_Form(ProgramValues &values, QWidget *parent)
    : ToolDialog(parent), m_values(values)
{
    setObjectName(QStringLiteral("Programmer_Form"));
    setWindowTitle(QStringLiteral("Program"));
    new OuterGeometry(this, QSize(661, 414), OuterGeometry::Sizing::Fixed);

    m_model = new ProgramGridModel(this);
    m_stringGrid5 = new StringGrid(this);
    m_stringGrid5->setObjectName(QStringLiteral("StringGrid5"));
    m_stringGrid5->setModel(m_model);
    m_stringGrid5->setColumnWidths({kColumnWidths.begin(), kColumnWidths.end()});
    m_stringGrid5->setRowHeight(24);
    m_stringGrid5->setAccessibleName(QStringLiteral("Program steps"));
    m_stringGrid5->setFixedWidth(m_stringGrid5->fittingWidth());

    // Each box stands above the grid column it fills, its label above it.
    QStringList timingNames;
    for (const TimingEntry &entry : TimingTable)
        timingNames << QString::fromLatin1(entry.Name);
    QStringList patternNames;
    for (int i = 0; i < kPatternCount; ++i)
        patternNames << patternNameText(i);
    QStringList showTimes;
    for (int seconds = 1; seconds <= 59; ++seconds)
        showTimes << QString::number(seconds);
    const std::array<QStringList, 4> items = {
        timingNames, patternNames, {QStringLiteral("Second"), QStringLiteral("Minute")}, showTimes};
    const std::array<QString, 4> captions = {QStringLiteral("Timing "), QStringLiteral("Pattern"),
                                             QStringLiteral("Unit"), QStringLiteral("Show Time")};
    auto *boxes = new QWidget(this);
    boxes->setFixedSize(m_stringGrid5->width(), kLabelHeight + kBoxHeight);
    int left = m_stringGrid5->frameWidth() + kColumnWidths[0];
    for (std::size_t i = 0; i < m_pcBoxes.size(); ++i) {
        const int width = kColumnWidths[i + 1];
        auto *label = new QLabel(captions[i], boxes);
        label->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        label->setGeometry(left, 0, width, kLabelHeight);
        auto *box = new QComboBox(boxes);
        box->setObjectName(QStringLiteral("PCBox%1").arg(i + 1));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMaxVisibleItems(12);
        box->addItems(items[i]);
        box->setCurrentIndex(0);
        box->setGeometry(left, kLabelHeight, width - 4, kBoxHeight);
        label->setBuddy(box);
        m_pcBoxes[i] = box;
        left += width;
    }

    auto *label5 =
        new QLabel(QStringLiteral("Note.  For every timing pattern have to shown at least 3 seconds"), this);
    label5->setObjectName(QStringLiteral("Label5"));
    QPalette red = label5->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    label5->setPalette(red);
    m_button1 = new QPushButton(QStringLiteral("UpLoad"), this);
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button1->setFixedSize(130, 32);
    m_button1->setAutoDefault(false);

    auto *foot = new QHBoxLayout;
    foot->addWidget(label5, 1);
    foot->addWidget(m_button1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 8, 10, 10);
    layout->setSpacing(6);
    layout->addWidget(boxes);
    layout->addWidget(m_stringGrid5, 1);
    layout->addLayout(foot);

    connect(m_stringGrid5, &StringGrid::mousePressed, this, &TProgrammer_Form::StringGrid5MouseDown);
    connect(m_stringGrid5, &StringGrid::keyPressed, this, &TProgrammer_Form::StringGrid5KeyDown);
    using Handler = void (TProgrammer_Form::*)();
    const std::array<Handler, 4> changes = {&TProgrammer_Form::PCBox1Change, &TProgrammer_Form::PCBox2Change,
                                            &TProgrammer_Form::PCBox3Change, &TProgrammer_Form::PCBox4Change};
    for (std::size_t i = 0; i < m_pcBoxes.size(); ++i) {
        // Typing, and choosing from the list: the same entry chosen again sets this row too.
        connect(m_pcBoxes[i], &QComboBox::editTextChanged, this, changes[i]);
        connect(m_pcBoxes[i], &QComboBox::activated, this, changes[i]);
    }
    connect(m_button1, &QPushButton::clicked, this, &TProgrammer_Form::Button1Click);
}

void TProgrammer_Form::FormShow()
{
    // What was composed before is discarded; the boxes keep their choices.
    m_model->clearProgram();
    m_stringGrid5->setCurrentCell(1, 0);
}

int TProgrammer_Form::selectedPosition(const QComboBox &box)
{
    return box.findText(box.currentText(), Qt::MatchFixedString);
}

void TProgrammer_Form::StringGrid5MouseDown()
{
    m_model->setEditRow(m_stringGrid5->currentRow());
}

void TProgrammer_Form::StringGrid5KeyDown(int key)
{
    if (key == Qt::Key_Delete)
        m_model->deleteEditRow();
}

void TProgrammer_Form::PCBox1Change()
{
    m_model->setTiming(selectedPosition(*m_pcBoxes[0]));
}

void TProgrammer_Form::PCBox2Change()
{
    m_model->setPattern(selectedPosition(*m_pcBoxes[1]));
}

void TProgrammer_Form::PCBox3Change()
{
    m_model->setUnit(selectedPosition(*m_pcBoxes[2]));
}

void TProgrammer_Form::PCBox4Change()
{
    const QString text = m_pcBoxes[3]->currentText();
    if (m_model->setShowTime(text) == ProgramGridModel::ShowTimeText::NotAWholeNumber)
        showProgramMessage(this, QStringLiteral("'%1' is not a valid integer value.").arg(text),
                           QMessageBox::Critical);
}

void TProgrammer_Form::Button1Click()
{
    m_validStepCount = BuildProgramUploadImage(m_model->sequence(), m_values.ProgramUploadImage);
    if (m_validStepCount == 0) {
        showProgramMessage(this, QStringLiteral("There is no legal item"));
        return;
    }
    // The upload carries its own copy: a transfer still waiting for its acknowledgment sends the
    // program it was started with, never one a later UpLoad built.
    emit linkRequested(
        {LinkRequest::Kind::Start, Operation::ATRN, programWireOrder(m_values.ProgramUploadImage)});
}
