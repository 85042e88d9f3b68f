#pragma once

#include "LinkOperator.h"

#include <functional>
#include <string>
#include <vector>

// Records what the operator would see, in order, as short event strings:
// "msg:<text>", "present", "absent", "progress:<p>", "panel0", "clearlog".
class RecordingOperator final : public LinkOperator {
public:
    void showMessage(const std::string &text, const std::string &detail) override
    {
        events.push_back("msg:" + text);
        details.push_back(detail);
    }
    void showDevicePresent() override { events.push_back("present"); }
    void showDeviceAbsent() override { events.push_back("absent"); }
    void setProgress(int percent) override
    {
        progressValues.push_back(percent);
        events.push_back("progress:" + std::to_string(percent));
    }
    void setProgressPanelOwnerDrawn() override { events.push_back("panel0"); }
    void appendReceiveLog(const std::uint8_t *bytes, std::size_t count) override
    {
        receiveLog.append(reinterpret_cast<const char *>(bytes), count);
    }
    void clearReceiveLog() override
    {
        receiveLog.clear();
        events.push_back("clearlog");
    }

    [[nodiscard]] std::vector<std::string> messages() const
    {
        std::vector<std::string> out;
        for (const auto &e : events)
            if (e.rfind("msg:", 0) == 0)
                out.push_back(e.substr(4));
        return out;
    }

    std::vector<std::string> events;
    std::vector<int> progressValues;
    std::vector<std::string> details; // one per message, empty when it had none
    std::string receiveLog;
};
