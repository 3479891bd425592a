#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

namespace kivora::test {

// Watches the whole application for message boxes while it lives: remembers what each
// showed and answers it from the box's own modal loop, as a user would, so a box never
// blocks a test. The answers given are pressed in order; a box beyond them is answered
// with OK, or its only button.
class ModalAnswerer : public QObject
{
public:
    struct Seen
    {
        QString title;
        QString text;
        QWidget *owner = nullptr;
        QMessageBox::StandardButtons buttons;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        bool applicationModal = false;
        QString snapshot; // what `onShown` reported while the box was open
    };

    ModalAnswerer() { qApp->installEventFilter(this); }
    ~ModalAnswerer() override { qApp->removeEventFilter(this); }

    void setAnswers(std::deque<QMessageBox::StandardButton> answers) { m_answers = std::move(answers); }
    // Called while each box is open; its answer is kept with the box.
    void setOnShown(std::function<QString()> onShown) { m_onShown = std::move(onShown); }

    const std::vector<Seen> &seen() const { return m_seen; }
    QStringList texts() const
    {
        QStringList list;
        for (const Seen &box : m_seen)
            list << box.text;
        return list;
    }
    void clear() { m_seen.clear(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Show)
            return false;
        auto *box = qobject_cast<QMessageBox *>(watched);
        if (!box)
            return false;
        Seen seen{box->windowTitle(), box->text(), box->parentWidget(), box->standardButtons(), box->icon(),
                  box->windowModality() == Qt::ApplicationModal, {}};
        if (m_onShown)
            seen.snapshot = m_onShown();
        m_seen.push_back(seen);
        QMessageBox::StandardButton answer = QMessageBox::Ok;
        if (!m_answers.empty()) {
            answer = m_answers.front();
            m_answers.pop_front();
        }
        QPointer<QMessageBox> target(box);
        QMetaObject::invokeMethod(
            box,
            [target, answer] {
                if (!target)
                    return;
                QAbstractButton *button = target->button(answer);
                if (!button && !target->buttons().isEmpty())
                    button = target->buttons().front();
                if (button)
                    button->click();
                else
                    target->reject();
            },
            Qt::QueuedConnection);
        return false;
    }

private:
    std::deque<QMessageBox::StandardButton> m_answers;
    std::function<QString()> m_onShown;
    std::vector<Seen> m_seen;
};

} // namespace kivora::test
