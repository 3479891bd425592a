#include "TCategoryForm.h"

#include "errorbox.h"
#include "windowshape.h"

#include <QShowEvent>

namespace kivora {

TCategoryForm::TCategoryForm(const char *windowClass, const char *windowName, QWidget *owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint)
    , m_windowClass(windowClass)
{
    setObjectName(QString::fromLatin1(windowName));
    setWindowTitle(QString::fromLatin1(windowName));
    setFixedSize(ClientWidth, ClientHeight);
    guarded([this] { FormCreate(); });
}

void TCategoryForm::FormCreate()
{
}

void TCategoryForm::FormShow()
{
    setMask(roundRectRegion(5, 4, 1195, 845, 80, 80));
}

void TCategoryForm::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        if (!m_placed) {
            centreOnDesktop(this);
            m_placed = true;
        }
        guarded([this] { FormShow(); });
    }
    QWidget::showEvent(event);
}

} // namespace kivora
