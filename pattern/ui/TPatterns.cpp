#include "TPatterns.h"

#include "PatternGridModels.h"
#include "PatternValues.h"
#include "StringGrid.h"

#include <QPushButton>

TPatterns::TPatterns(PatternValues &values, QWidget *parent)
    : SelectionDialog(
          {QStringLiteral("Patterns"),
           QSize(318, 399),
           QStringLiteral("StringGrid4"),
           {58, 179, 14},
           QStringLiteral("UnSelect All"),
           QStringLiteral("Patterns_OK"),
           QStringLiteral("Please Select the Pattern index")},
          [&values](QObject *owner) { return makePatternSelectionModel(values.patternSelection, owner); },
          parent)
{
    connect(&grid(), &StringGrid::mousePressed, this, &TPatterns::StringGrid4MouseDown);
    connect(&selectAllButton(), &QPushButton::clicked, this, &TPatterns::Button1Click);
    connect(&uploadButton(), &QPushButton::clicked, this, &TPatterns::Patterns_OKClick);
    connect(this, &SelectionDialog::uploadRequested, this, [this] {
        emit linkRequested({LinkRequest::Kind::Start, Operation::PTNS, {}});
    });
    connect(this, &SelectionDialog::closedWith, this, [this](const std::vector<std::uint8_t> &flags) {
        emit linkRequested({LinkRequest::Kind::HandOver, Operation::PTNS, flags});
    });
}

void TPatterns::StringGrid4MouseDown()
{
    // The pressed mark: from the first press on, for the rest of the run, unmarked cells keep
    // the grid's own drawing, its highlight of the current cell included.
    model().setOwnDrawing(true);
    toggleAtCurrentCell();
}

void TPatterns::Button1Click()
{
    selectOrClearAll();
}

void TPatterns::Patterns_OKClick()
{
    upload();
}
