#pragma once

#include <QWidget>

// A stand-alone up-down spinner: two arrow buttons, one above the other. It has no value of its
// own; each click (or the Up and Down keys while it has the focus) is reported to its owner.
class UpDownArrows : public QWidget {
    Q_OBJECT
public:
    explicit UpDownArrows(QWidget *parent = nullptr);

    [[nodiscard]] QSize sizeHint() const override { return {17, 26}; }
    [[nodiscard]] QRect upperRect() const;
    [[nodiscard]] QRect lowerRect() const;

signals:
    void upClicked();
    void downClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    enum class Half { None, Upper, Lower };
    Half m_pressed = Half::None;
};
