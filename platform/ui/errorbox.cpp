#include "platform/ui/errorbox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include <stdexcept>

namespace kivora {

namespace {

QString messageOf(const std::exception_ptr &failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QString();
    }
}

// The failure that `failure` wraps, or null when it wraps none.
std::exception_ptr nestedOf(const std::exception_ptr &failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const std::nested_exception &nested) {
        return nested.nested_ptr();
    } catch (...) {
        return nullptr;
    }
}

} // namespace

QString withFullStop(const QString &text)
{
    if (!text.isEmpty() && text.back().unicode() > u'.')
        return text + u'.';
    return text;
}

QString errorBoxText(const std::exception_ptr &failure)
{
    QString text;
    for (std::exception_ptr current = failure; current; current = nestedOf(current)) {
        const QString message = messageOf(current);
        if (!message.isEmpty())
            text = message;
    }
    return withFullStop(text);
}

void showErrorBox(const std::exception_ptr &failure)
{
    if (QWidget *grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    QPointer<QWidget> active = QApplication::activeWindow();
    QPointer<QWidget> focus = QApplication::focusWidget();

    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), errorBoxText(failure),
                    QMessageBox::Ok, active);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();

    if (active)
        active->activateWindow();
    if (focus)
        focus->setFocus();
}

} // namespace kivora
