#pragma once

#include <QImage>
#include <QString>

class ModalDriver;
class PanelStatusBar;
class QMainWindow;
class TMainForm;

// Real mouse clicks on the program's menus, tool bar and status display.
namespace AppTestSupport {

extern const QString kAbsentText;
extern const QString kPresentText;

// The offscreen platform warns about every raise and keyboard grab; keep the test log readable.
void quietenPlatformWarnings();

// Opens the menu `menuName` from the menu bar and clicks its item `itemName`, as an operator
// would. An item that opens a modal window returns only once that window has closed.
void chooseMenuItem(QMainWindow &window, const QString &menuName, const QString &itemName);
void clickToolButton(QMainWindow &window, const QString &buttonName);
[[nodiscard]] bool toolButtonEnabled(QMainWindow &window, const QString &buttonName);

// Queues, on the driver, picking COM (itemIndex + 1) in the port dialog and pressing OK.
void pickPortAndConfirm(ModalDriver &driver, int itemIndex);

// What the presence panel shows now, and what the red "Not Exist" panel must look like.
[[nodiscard]] QImage presencePanelPicture(PanelStatusBar &bar);
[[nodiscard]] QImage expectedAbsentPanel(PanelStatusBar &bar);
[[nodiscard]] bool showsAbsent(TMainForm &form);
[[nodiscard]] bool showsPresent(TMainForm &form);

} // namespace AppTestSupport
