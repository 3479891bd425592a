#include "tests/category/modalboxcatcher.h"

#include <QApplication>
#include <QMessageBox>

ModalBoxCatcher::ModalBoxCatcher()
{
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &ModalBoxCatcher::closeOpenBox);
    m_timer.start();
}

void ModalBoxCatcher::closeOpenBox()
{
    if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
        if (box->isVisible()) {
            m_texts << box->text();
            box->done(QMessageBox::Ok);
        }
    }
}
