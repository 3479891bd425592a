#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <deque>
#include <vector>

namespace kivora::test {

// Answers the application's message boxes as they open, in order, and remembers what
// each showed. Checks for an open box on a short timer that keeps running inside the
// boxes' own event loops.
class ModalAnswerer : public QObject
{
public:
    struct Seen
    {
        QString caption;
        QString text;
        QWidget *owner;
        QMessageBox::StandardButtons buttons;
        QMessageBox::Icon icon;
    };

    ModalAnswerer()
    {
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, [this] { answerOpenBox(); });
        m_timer.start();
    }

    // The buttons to press, one per box; a box beyond them is answered with OK.
    void setAnswers(std::deque<QMessageBox::StandardButton> answers) { m_answers = std::move(answers); }
    const std::vector<Seen> &seen() const { return m_seen; }
    QStringList texts() const
    {
        QStringList list;
        for (const Seen &box : m_seen)
            list << box.text;
        return list;
    }

private:
    void answerOpenBox()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || box == m_answered || !box->isVisible())
            return;
        m_answered = box;
        m_seen.push_back({box->windowTitle(), box->text(), box->parentWidget(), box->standardButtons(), box->icon()});
        QMessageBox::StandardButton answer = QMessageBox::Ok;
        if (!m_answers.empty()) {
            answer = m_answers.front();
            m_answers.pop_front();
        }
        QAbstractButton *button = box->button(answer);
        if (button)
            button->click();
        else
            box->reject();
    }

    QTimer m_timer;
    std::deque<QMessageBox::StandardButton> m_answers;
    std::vector<Seen> m_seen;
    QPointer<QMessageBox> m_answered;
};

} // namespace kivora::test
