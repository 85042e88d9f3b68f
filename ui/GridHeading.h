#pragma once

#include <QHeaderView>

// The heading row or column of a StringGrid: each section drawn by the style, its text 2 pixels
// right and down from the section's corner, as the body cells have theirs, in whole-pixel glyph
// widths. The style's own text margin, or fractional widths, would cut the last letters of
// headings written to fill their column.
class GridHeading : public QHeaderView {
    Q_OBJECT
public:
    using QHeaderView::QHeaderView;

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;
};
