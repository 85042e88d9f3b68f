#include "ModalDriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTest>

ModalDriver::ModalDriver(QObject *parent) : QObject(parent)
{
    m_poll.setInterval(20);
    connect(&m_poll, &QTimer::timeout, this, &ModalDriver::poll);
    m_poll.start();
}

ModalDriver::~ModalDriver()
{
    closeAllModalWindows();
}

void ModalDriver::then(Match match, Action act)
{
    m_actions.emplace_back(std::move(match), std::move(act));
}

void ModalDriver::thenOn(const QString &objectName, Action act)
{
    then([objectName](QWidget *w) { return w->objectName() == objectName; }, std::move(act));
}

void ModalDriver::closeAllModalWindows()
{
    // Each close lets the exec() under it return once control gets back to its loop.
    for (int guard = 0; guard < 16; ++guard) {
        QWidget *top = QApplication::activeModalWidget();
        if (top == nullptr)
            return;
        if (auto *dialog = qobject_cast<QDialog *>(top))
            dialog->reject();
        else
            top->close();
        if (QApplication::activeModalWidget() == top)
            top->hide();
    }
}

void ModalDriver::poll()
{
    if (QTest::currentTestFailed()) {
        closeAllModalWindows();
        return;
    }
    QWidget *top = QApplication::activeModalWidget();
    if (top == nullptr || !top->isVisible()) {
        m_waiting = nullptr;
        return;
    }
    if (auto *box = qobject_cast<QMessageBox *>(top)) {
        // Closing a box does not block, so it is done here even while an action waits in a
        // nested loop.
        if (box->property("driverClosing").toBool())
            return;
        box->setProperty("driverClosing", true);
        messages << box->text();
        details << box->informativeText();
        titles << box->windowTitle();
        buttonCounts << static_cast<int>(box->buttons().size());
        icons << static_cast<int>(box->icon());
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        return;
    }
    if (m_busy)
        return;
    if (m_actions.empty() || !m_actions.front().first(top)) {
        if (m_waiting != top) {
            m_waiting = top;
            m_waitingSince.start();
        } else if (m_waitingSince.elapsed() > kStuckMs) {
            const QString what = QStringLiteral("modal window '%1' (%2) stayed open with no action for it")
                                     .arg(top->windowTitle(), top->objectName());
            m_waiting = nullptr;
            closeAllModalWindows();
            QTest::qFail(qPrintable(what), __FILE__, __LINE__);
        }
        return;
    }
    m_waiting = nullptr;
    Action act = std::move(m_actions.front().second);
    m_actions.pop_front();
    m_busy = true;
    // Run from a posted call rather than from the timer: an action that opens a nested loop
    // would otherwise hold this timer back.
    QMetaObject::invokeMethod(
        this,
        [this, act, window = QPointer<QWidget>(top)] {
            if (window)
                act(window);
            m_busy = false;
            if (QTest::currentTestFailed())
                closeAllModalWindows();
        },
        Qt::QueuedConnection);
}
