#pragma once

#include "LinkOperator.h"

class TMainForm;

// What the link reports to in the window: messages in modal boxes over the frame, the presence
// displays and the gauge of its status bar, and its hidden receive log.
class MainFormDisplay final : public LinkOperator {
public:
    explicit MainFormDisplay(TMainForm &form) : m_form(form) {}

    void showMessage(const std::string &text, const std::string &detail) override;
    void showDevicePresent() override;
    void showDeviceAbsent() override;
    void setProgress(int percent) override;
    void setProgressPanelOwnerDrawn() override;
    void appendReceiveLog(const std::uint8_t *bytes, std::size_t count) override;
    void clearReceiveLog() override;

private:
    TMainForm &m_form;
};
