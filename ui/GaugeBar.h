#pragma once

#include <QProgressBar>

// A flat gauge: pure blue bar on the button face, a single-line border, and the percentage in
// the middle, white where it stands on the bar and black elsewhere so it stays readable.
class GaugeBar : public QProgressBar {
    Q_OBJECT
public:
    explicit GaugeBar(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
