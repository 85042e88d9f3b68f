#include "TTimings.h"

#include "StringGrid.h"
#include "TimingGridModels.h"
#include "TimingValues.h"

#include <QPushButton>

TTimings::TTimings(TimingValues &values, QWidget *parent)
    : SelectionDialog(
          {QStringLiteral("Timings"),
           QSize(603, 406),
           QStringLiteral("StringGrid3"),
           {48, 116, 115, 115, 115, 12},
           QStringLiteral(" UnSelect All"),
           QStringLiteral("Timings_OK"),
           QStringLiteral("Please Select the Timing index")},
          [&values](QObject *owner) { return makeTimingSelectionModel(values.timingSelection, owner); },
          parent)
{
    connect(&grid(), &StringGrid::mousePressed, this, &TTimings::StringGrid3MouseDown);
    connect(&grid(), &StringGrid::mouseReleased, this, &TTimings::StringGrid3MouseUp);
    connect(&selectAllButton(), &QPushButton::clicked, this, &TTimings::Button1Click);
    connect(&uploadButton(), &QPushButton::clicked, this, &TTimings::Timings_OKClick);
    connect(this, &SelectionDialog::uploadRequested, this, [this] {
        emit linkRequested({LinkRequest::Kind::Start, Operation::TMGS, {}});
    });
    connect(this, &SelectionDialog::closedWith, this, [this](const std::vector<std::uint8_t> &flags) {
        emit linkRequested({LinkRequest::Kind::HandOver, Operation::TMGS, flags});
    });
}

void TTimings::StringGrid3MouseDown()
{
    // While the button is held the grid shows its own highlight of the current cell.
    model().setOwnDrawing(true);
    toggleAtCurrentCell();
}

void TTimings::StringGrid3MouseUp()
{
    model().setOwnDrawing(false);
}

void TTimings::Button1Click()
{
    selectOrClearAll();
}

void TTimings::Timings_OKClick()
{
    upload();
}
