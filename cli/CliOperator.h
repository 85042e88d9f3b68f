#pragma once

#include "LinkOperator.h"

#include <cstdio>
#include <string>

// The operator of sgxctl: every message is one line on standard error, as is every change of
// the progress value. Nothing waits for anyone to press OK.
class CliOperator final : public LinkOperator {
public:
    // Without progress, the progress lines are left out (sgxctl --quiet).
    explicit CliOperator(bool progress = true) : m_showProgress(progress) {}

    void showMessage(const std::string &text, const std::string &detail) override
    {
        std::fprintf(stderr, "%s\n", text.c_str());
        if (!detail.empty())
            std::fprintf(stderr, "%s\n", detail.c_str());
        std::fflush(stderr);
    }
    void showDevicePresent() override {}
    void showDeviceAbsent() override {}
    void setProgress(int percent) override
    {
        if (percent == m_progress || !m_showProgress)
            return;
        m_progress = percent;
        std::fprintf(stderr, "progress %d\n", percent);
        std::fflush(stderr);
    }
    void setProgressPanelOwnerDrawn() override {}
    void appendReceiveLog(const std::uint8_t *, std::size_t) override {}
    void clearReceiveLog() override {}

private:
    bool m_showProgress;
    int m_progress = 0;
};
