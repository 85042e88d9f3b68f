#include "MainFormDisplay.h"

#include "TMainForm.h"

void MainFormDisplay::showMessage(const std::string &text, const std::string &detail)
{
    m_form.showMessage(QString::fromStdString(text), QString::fromStdString(detail));
}

void MainFormDisplay::showDevicePresent()
{
    m_form.showDevicePresent();
}

void MainFormDisplay::showDeviceAbsent()
{
    m_form.showDeviceAbsent();
}

void MainFormDisplay::setProgress(int percent)
{
    m_form.setProgress(percent);
}

void MainFormDisplay::setProgressPanelOwnerDrawn()
{
    m_form.setProgressPanelOwnerDrawn();
}

void MainFormDisplay::appendReceiveLog(const std::uint8_t *bytes, std::size_t count)
{
    m_form.appendReceiveLog(bytes, count);
}

void MainFormDisplay::clearReceiveLog()
{
    m_form.clearReceiveLog();
}
