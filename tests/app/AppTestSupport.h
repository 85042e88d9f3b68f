#pragma once

#include <functional>

#include <QString>

class ModalDriver;
class QComboBox;
class QMainWindow;
class QColor;
class QPoint;
class QTableView;
class QWidget;
class TMainForm;

// Real mouse clicks on the program's menus and tool bar, and what its status display shows.
namespace AppTestSupport {

// The offscreen platform warns about every raise and keyboard grab; keep the test log readable.
void quietenPlatformWarnings();

// Runs the message loop until done() holds or ms have passed; unlike QTest::qWaitFor it never
// sleeps between events, so timers of the link's own (pacing in the window's thread) keep time.
[[nodiscard]] bool waitUntil(const std::function<bool()> &done, int ms);

// Empty when "Arial" and "Times New Roman" resolve to their metric-compatible Liberation faces;
// otherwise what is wrong and which package mends it. Every window is laid out in those metrics.
[[nodiscard]] QString metricFontProblem();

// Opens the menu `menuName` from the menu bar and clicks its item `itemName` (none if empty). An
// item that opens a modal window returns only once that window has closed. False (with a
// warning) when the menu or item is not there.
[[nodiscard]] bool chooseMenuItem(QMainWindow &window, const QString &menuName, const QString &itemName);
[[nodiscard]] bool clickToolButton(QMainWindow &window, const QString &buttonName);
// Typed over whatever the combo box shows, with the focus, so that it completes what is typed.
[[nodiscard]] bool typeInto(QComboBox *box, const QString &text);
// The item of that text opened from the keyboard and chosen with the mouse, as when the entry
// shown is chosen again. (A list opened by a mouse press ignores a release that follows at once.)
[[nodiscard]] bool chooseFromList(QComboBox *box, const QString &text);
// Types a name into an open file dialog (Qt's own) and presses its Open or Save button.
void chooseFile(QWidget *dialog, const QString &path);

// The contents of the frame's child window captioned exactly caption; null when none is open.
[[nodiscard]] QWidget *frameChild(QMainWindow &window, const QString &caption);
// The text of a window's edit line by its object name, or a text saying it is missing.
[[nodiscard]] QString editText(QWidget *window, const QString &name);
// One click on the upper or lower arrow of a window's spinner UpDown1.
void clickSpinner(QWidget *window, bool up);
// Works a window's number group as the operator does, with the number box focused: digits typed
// into the box (after *, over its whole text), ^ and v its Up and Down keys, + and - spinner clicks.
void workNumberGroup(QWidget *window, const QString &boxName, const char *script);

// A left double click as the window system delivers one: press, release, double click, release.
// (QTest::mouseDClick alone sends only the double click.)
void doubleClick(QWidget *widget, const QPoint &at);

// A grid's cell, scrolled into view: its centre, a click on it, and the colour its left edge is
// painted in (the row's highlight, or the window's colour).
[[nodiscard]] QPoint cellCentre(QTableView *grid, int row, int column);
void pressCell(QTableView *grid, int row, int column);
[[nodiscard]] QColor cellPixel(QTableView *grid, int row, int column);

// Queues, on the driver, picking COM (itemIndex + 1) in the port dialog and pressing OK.
void pickPortAndConfirm(ModalDriver &driver, int itemIndex);
// Queues pressing Cancel in the port dialog; `wasOpen` tells whether it was still showing.
void cancelPortDialog(ModalDriver &driver, bool *wasOpen = nullptr);

// Connect enabled, Disconnect disabled, and the presence panel painted red with white
// " SGX-100 Status : Not Exist".
[[nodiscard]] bool showsAbsent(TMainForm &form);
// The buttons the other way round and the plain " SGX-100 Status : Exist    ".
[[nodiscard]] bool showsPresent(TMainForm &form);

} // namespace AppTestSupport
