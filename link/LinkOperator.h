#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Everything the operator sees of the link. The main window implements it with widgets,
// sgxctl with standard error, tests with a recorder. The link never touches a widget.
class LinkOperator {
public:
    virtual ~LinkOperator() = default;
    // A message with one OK button; modal in the window, so it returns when closed. The detail,
    // when there is one, says more under it (which device, and why).
    virtual void showMessage(const std::string &text, const std::string &detail) = 0;
    // Presence displays; the link has already set devicePresent.
    virtual void showDevicePresent() = 0;
    virtual void showDeviceAbsent() = 0;
    virtual void setProgress(int percent) = 0;
    // The status bar's first panel turns owner-drawn after a table upload.
    virtual void setProgressPanelOwnerDrawn() = 0;
    virtual void appendReceiveLog(const std::uint8_t *bytes, std::size_t count) = 0;
    virtual void clearReceiveLog() = 0;
};
