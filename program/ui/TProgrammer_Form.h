#pragma once

#include "LinkRequest.h"
#include "ToolDialog.h"

#include <array>
#include <cstdint>

class ProgramGridModel;
class QComboBox;
class QPushButton;
class StringGrid;
struct ProgramValues;

// "Program": composes an auto-run program of up to 32 steps (timing, pattern, show time) and
// uploads it ("ATRN"). The four boxes edit the step of the row last pressed in the grid. Made once
// at start-up, shown modally by Edit > Program; every showing starts from an empty program.
class TProgrammer_Form : public ToolDialog {
    Q_OBJECT
public:
    explicit TProgrammer_Form(ProgramValues &values, QWidget *parent = nullptr);

    void StringGrid5MouseDown();
    void StringGrid5KeyDown(int key);
    void PCBox1Change();
    void PCBox2Change();
    void PCBox3Change();
    void PCBox4Change();
    void Button1Click();

    [[nodiscard]] ProgramGridModel &model() { return *m_model; }
    // The valid steps found by the last UpLoad.
    [[nodiscard]] int validStepCount() const { return m_validStepCount; }

signals:
    void linkRequested(const LinkRequest &request);

protected:
    void FormShow() override;

private:
    // The entry whose text the box shows (typed or chosen), or -1 when it names none.
    [[nodiscard]] static int selectedPosition(const QComboBox &box);

    ProgramValues &m_values;
    ProgramGridModel *m_model = nullptr;
    StringGrid *m_stringGrid5 = nullptr;
    std::array<QComboBox *, 4> m_pcBoxes{};
    QPushButton *m_button1 = nullptr;
    std::uint8_t m_validStepCount = 0;
};
