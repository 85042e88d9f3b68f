#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class PortDirectory;
class StepMachine;

// Where the operator picks the serial port and connects. Created once and shown modally.
class TCOM_PORT_SETTING_FORM : public QDialog {
    Q_OBJECT
public:
    TCOM_PORT_SETTING_FORM(StepMachine &steps, PortDirectory &ports, QWidget *parent = nullptr);

    // Lists, after COM 8, the serial ports the system has now; keeps the choice while its device does.
    void FormShow();
    // OK: opens the chosen port and starts the presence check; stays open when it fails.
    void Button1Click();
    void Button2Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showDevice(int index);

    StepMachine &m_steps;
    PortDirectory &m_ports;
    QLabel *m_label1 = nullptr;
    QLabel *m_label2 = nullptr;
    QLabel *m_label3 = nullptr;
    QLabel *m_label4 = nullptr;
    QComboBox *m_comboBox1 = nullptr;
    QComboBox *m_comboBox2 = nullptr;
    QComboBox *m_comboBox3 = nullptr;
    QComboBox *m_comboBox4 = nullptr;
    QPushButton *m_button1 = nullptr;
    QPushButton *m_button2 = nullptr;
};
