#pragma once

#include "DeviceLink.h"

#include <QObject>

#include <string>
#include <utility>
#include <vector>

// Records what the operator would see of a link, in order, as short event strings: "msg:<text>",
// "present", "absent", "progress:<p>", "panel0", "clearlog"; and every outcome. A message is read
// and closed at once.
struct LinkRecorder {
    explicit LinkRecorder(DeviceLink &link)
    {
        QObject::connect(&link, &DeviceLink::finished, &link, [this, &link](Operation op, Outcome outcome) {
            outcomes.emplace_back(op, outcome);
            if (const char *message = outcomeMessage(op, outcome))
                message_(message, {});
            link.messageClosed(op);
        });
        QObject::connect(&link, &DeviceLink::connectFinished, &link,
                         [this](bool opened, const QString &message, const QString &detail) {
                             if (!opened && !message.isEmpty())
                                 message_(message.toStdString(), detail.toStdString());
                         });
        QObject::connect(&link, &DeviceLink::presenceChanged, &link,
                         [this](bool present) { events.emplace_back(present ? "present" : "absent"); });
        QObject::connect(&link, &DeviceLink::progressChanged, &link, [this](int percent) {
            progressValues.push_back(percent);
            events.push_back("progress:" + std::to_string(percent));
        });
        QObject::connect(&link, &DeviceLink::progressPanelOwnerDrawn, &link,
                         [this] { events.emplace_back("panel0"); });
        QObject::connect(&link, &DeviceLink::receiveLogCleared, &link, [this] {
            receiveLog.clear();
            events.emplace_back("clearlog");
        });
        QObject::connect(&link, &DeviceLink::received, &link, [this](const QByteArray &bytes) {
            receiveLog.append(bytes.constData(), bytes.size());
        });
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
    std::vector<std::pair<Operation, Outcome>> outcomes;

private:
    void message_(const std::string &text, const std::string &detail)
    {
        events.push_back("msg:" + text);
        details.push_back(detail);
    }
};
