#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

// Answers every modal message box that opens while it lives, and keeps their texts: the
// error box runs its own event loop, in which this catcher's timer still fires.
class ModalBoxCatcher : public QObject
{
    Q_OBJECT
public:
    ModalBoxCatcher();

    const QStringList &texts() const { return m_texts; }

private:
    void closeOpenBox();

    QTimer m_timer;
    QStringList m_texts;
};
