#pragma once

#include "LinkOperator.h"

#include <cstdio>
#include <string>

// The operator of sgxctl: every message is one line on standard error, as is every change of
// the progress value. Nothing waits for anyone to press OK.
class CliOperator final : public LinkOperator {
public:
    // Without progress, the progress lines are left out (sgxctl --quiet).
    explicit CliOperator(bool progress = true, std::FILE *err = stderr) : m_showProgress(progress), m_err(err)
    {
    }

    void showMessage(const std::string &text, const std::string &detail) override
    {
        std::fprintf(m_err, "%s\n", text.c_str());
        if (!detail.empty())
            std::fprintf(m_err, "%s\n", detail.c_str());
        std::fflush(m_err);
    }
    void showDevicePresent() override {}
    void showDeviceAbsent() override {}
    void setProgress(int percent) override
    {
        if (percent == m_progress || !m_showProgress)
            return;
        m_progress = percent;
        std::fprintf(m_err, "progress %d\n", percent);
        std::fflush(m_err);
    }
    void setProgressPanelOwnerDrawn() override {}
    void appendReceiveLog(const std::uint8_t *, std::size_t) override {}
    void clearReceiveLog() override {}

private:
    bool m_showProgress;
    std::FILE *m_err;
    int m_progress = 0;
};
