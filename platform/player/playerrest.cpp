#include "platform/player/playerrest.h"

#include "platform/player/playerengine.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <malloc.h>

namespace kivora {

namespace {

std::chrono::milliseconds idleTime = std::chrono::minutes(1);
// How long the web engine goes on taking its page and profile apart, in the event loop.
constexpr std::chrono::seconds teardownTime(1);

} // namespace

PlayerRest &PlayerRest::instance()
{
    static QPointer<PlayerRest> rest;
    if (!rest)
        rest = new PlayerRest(QCoreApplication::instance());
    return *rest;
}

PlayerRest::PlayerRest(QObject *parent)
    : QObject(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &PlayerRest::rest);
}

void PlayerRest::setIdleTimeForTesting(std::chrono::milliseconds idle)
{
    idleTime = idle;
}

void PlayerRest::watch(QWidget *window)
{
    m_windows.removeAll(nullptr);
    if (!m_windows.contains(window)) {
        m_windows.append(window);
        window->installEventFilter(this);
    }
    countDownUnlessShown(nullptr);
}

bool PlayerRest::eventFilter(QObject *watched, QEvent *event)
{
    // Spontaneous ones too: a minimised window is out of sight as well.
    if (event->type() == QEvent::Show)
        m_timer.stop();
    else if (event->type() == QEvent::Hide)
        countDownUnlessShown(watched);
    return QObject::eventFilter(watched, event);
}

bool PlayerRest::anyShown(const QObject *except) const
{
    for (const QPointer<QWidget> &window : m_windows) {
        if (window && window != except && window->isVisible() && !window->isMinimized())
            return true;
    }
    return false;
}

void PlayerRest::countDownUnlessShown(const QObject *hiding)
{
    if (anyShown(hiding))
        m_timer.stop();
    else if (!m_timer.isActive())
        m_timer.start(idleTime);
}

void PlayerRest::rest()
{
    if (anyShown(nullptr) || !PlayerEngine::exists())
        return;
    Q_EMIT letPlayerGo();
    // What the engine freed in this process goes back to the system, rather than waiting in
    // the heap for the next page: some ten megabytes.
    QTimer::singleShot(teardownTime, this, [] { ::malloc_trim(0); });
}

} // namespace kivora
