#include "ModalDriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTest>

ModalDriver::ModalDriver(QObject *parent) : QObject(parent)
{
    m_poll.setInterval(20);
    connect(&m_poll, &QTimer::timeout, this, &ModalDriver::poll);
    m_poll.start();
}

void ModalDriver::then(Match match, Action act)
{
    m_actions.emplace_back(std::move(match), std::move(act));
}

void ModalDriver::thenOn(const QString &objectName, Action act)
{
    then([objectName](QWidget *w) { return w->objectName() == objectName; }, std::move(act));
}

void ModalDriver::poll()
{
    QWidget *top = QApplication::activeModalWidget();
    if (top == nullptr || !top->isVisible())
        return;
    if (auto *box = qobject_cast<QMessageBox *>(top)) {
        // Closing a box does not block, so it is done here even while an action waits in a
        // nested loop.
        if (box->property("driverClosing").toBool())
            return;
        box->setProperty("driverClosing", true);
        messages << box->text();
        titles << box->windowTitle();
        buttonCounts << static_cast<int>(box->buttons().size());
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        return;
    }
    if (m_busy || m_actions.empty() || !m_actions.front().first(top))
        return;
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
        },
        Qt::QueuedConnection);
}
