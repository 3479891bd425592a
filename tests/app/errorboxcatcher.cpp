#include "tests/app/errorboxcatcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QPointer>

namespace kivora {

ErrorBoxCatcher::ErrorBoxCatcher()
{
    qApp->installEventFilter(this);
}

ErrorBoxCatcher::~ErrorBoxCatcher()
{
    qApp->removeEventFilter(this);
}

bool ErrorBoxCatcher::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Show)
        return false;
    auto *box = qobject_cast<QMessageBox *>(watched);
    if (!box)
        return false;
    Seen seen;
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    seen.buttons = box->standardButtons();
    seen.applicationModal = box->windowModality() == Qt::ApplicationModal;
    if (m_onShown)
        seen.snapshot = m_onShown();
    m_seen.push_back(seen);
    // Pressed from the box's own modal loop, as a user would.
    QPointer<QMessageBox> target(box);
    QMetaObject::invokeMethod(
        box,
        [target] {
            if (!target)
                return;
            const QList<QAbstractButton *> buttons = target->buttons();
            if (!buttons.isEmpty())
                buttons.front()->click();
            else
                target->reject();
        },
        Qt::QueuedConnection);
    return false;
}

} // namespace kivora
