#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <chrono>

class QWidget;

namespace kivora {

// The program's one player (see PlayerEngine) keeps its page, Ruffle and a renderer process,
// hundreds of megabytes, while it waits for the next title. Once no window with a player in
// it has been shown for a minute (a child left the program on the island), every control
// lets the player go; the next prepare() or Movie makes it afresh. User-interface thread only.
class PlayerRest : public QObject
{
    Q_OBJECT
public:
    // The program's one rest, made on first use; it goes with the application object.
    static PlayerRest &instance();

    // Watches window, that of a control that uses the player, for as long as it lives. While
    // none of the watched windows is shown, the rest counts down.
    void watch(QWidget *window);

    // Tests and benches shorten the minute, or lengthen it to keep the player warm.
    static void setIdleTimeForTesting(std::chrono::milliseconds idle);

Q_SIGNALS:
    // Every control lets the player go now.
    void letPlayerGo();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit PlayerRest(QObject *parent);
    bool anyShown(const QObject *except) const;
    void countDownUnlessShown(const QObject *hiding);
    void rest();

    QTimer m_timer;
    QList<QPointer<QWidget>> m_windows;
};

} // namespace kivora
