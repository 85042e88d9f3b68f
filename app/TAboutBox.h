#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

// Help > About...: product, version and where to reach the maker.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QFrame *m_panel1 = nullptr;
    QLabel *m_programIcon = nullptr;
    QLabel *m_productName = nullptr;
    QLabel *m_version = nullptr;
    QLabel *m_comments = nullptr;
    QLabel *m_label1 = nullptr;
    QLabel *m_label3 = nullptr;
    QLabel *m_label2 = nullptr;
    QPushButton *m_okButton = nullptr;
};
