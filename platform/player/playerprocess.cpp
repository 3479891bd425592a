#include "platform/player/playerprocess.h"

#include "platform/player/playermodule.h"

#include <QApplication>
#include <QJsonDocument>
#include <QKeyEvent>

#include <sys/prctl.h>

#include <cstdlib>
#include <stdexcept>

namespace kivora {

namespace {

constexpr char channelVariable[] = "KIVORA_PLAYER_CHANNEL";

QJsonObject jsonObject(const QVariant &text)
{
    return QJsonDocument::fromJson(text.toString().toUtf8()).object();
}

} // namespace

void PlayerProcess::runIfAsked()
{
    const QByteArray channel = qgetenv(channelVariable);
    if (channel.isEmpty())
        return;
    // Not for the web engine's own processes, nor for anything they start.
    qunsetenv(channelVariable);
    bool isNumber = false;
    const int descriptor = channel.toInt(&isNumber);
    if (!isNumber || descriptor < 0)
        std::_Exit(2);
    // What task managers show for it, rather than the "exe" of /proc/self/exe.
    ::prctl(PR_SET_NAME, "lumora-player");
    static char programName[] = "lumora";
    static char *arguments[] = {programName, nullptr};
    static int argumentCount = 1;
    QApplication application(argumentCount, arguments);
    application.setQuitOnLastWindowClosed(false);
    auto *process = new PlayerProcess(descriptor);
    const int status = application.exec();
    delete process;
    // Nothing of the program's own runs in this process: it ends without its exit handlers.
    std::_Exit(status);
}

PlayerProcess::PlayerProcess(int descriptor)
    : m_channel(new PlayerChannel(descriptor, this))
{
    connect(m_channel, &PlayerChannel::received, this, &PlayerProcess::onMessage);
    connect(m_channel, &PlayerChannel::disconnected, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    // The window manager leaves the window alone: the program puts it into its own.
    m_host.setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::BypassWindowManagerHint);
    QPalette black = m_host.palette();
    black.setColor(QPalette::Window, Qt::black);
    m_host.setPalette(black);
    m_host.setAutoFillBackground(true);
    try {
        m_backend = PlayerModule::carried().createBackend(*this);
    } catch (const std::runtime_error &failure) {
        m_failure = QString::fromUtf8(failure.what());
    }
    m_channel->send(PlayerChannel::Window, {quint64(m_host.winId())});
}

PlayerProcess::~PlayerProcess()
{
    // The page goes before its window and the web engine.
    m_backend.reset();
}

void PlayerProcess::onMessage(PlayerChannel::Message message, const QVariantList &arguments)
{
    if (!m_backend) {
        // Whatever the program asks for fails with the reason.
        if (message == PlayerChannel::Load || message == PlayerChannel::Prepare)
            m_channel->send(PlayerChannel::PageLost, {m_failure});
        return;
    }
    // The page lives in the host from the first order on (the program may order a movie
    // before its view has the window), until a holder goes.
    if (message != PlayerChannel::Detach && !m_backend->holder()) {
        m_backend->attach(&m_host);
        fit(m_host.width(), m_host.height());
    }
    switch (message) {
    case PlayerChannel::Attach:
        fit(arguments.value(0).toInt(), arguments.value(1).toInt());
        // Shown once the program has put the window into its view, never as a window of its own.
        m_host.show();
        // Keys that reach the window straight from the X server go to the page too.
        if (QWidget *view = m_backend->view())
            view->setFocus(Qt::OtherFocusReason);
        break;
    case PlayerChannel::Resize:
        fit(arguments.value(0).toInt(), arguments.value(1).toInt());
        break;
    case PlayerChannel::Detach:
        m_backend->detach(&m_host);
        break;
    case PlayerChannel::Load:
        m_backend->load(arguments.value(0).toInt(), m_movies.value(arguments.value(1).toString()),
                        jsonObject(arguments.value(2)));
        break;
    case PlayerChannel::Stop:
        m_backend->stop();
        break;
    case PlayerChannel::Pause:
        m_backend->pause(arguments.value(0).toInt());
        break;
    case PlayerChannel::Resume:
        if (const int generation = arguments.value(0).toInt(); !m_backend->resume(generation))
            m_channel->send(PlayerChannel::ResumeRefused, {generation});
        break;
    case PlayerChannel::Prepare:
        m_backend->prepare(jsonObject(arguments.value(0)));
        break;
    case PlayerChannel::Recycle:
        m_backend->recycle();
        break;
    case PlayerChannel::AddMovie:
        m_movies.insert(arguments.value(0).toString(), m_backend->addMovie(arguments.value(1).toString()));
        break;
    case PlayerChannel::RemoveMovie:
        m_backend->removeMovie(m_movies.take(arguments.value(0).toString()));
        break;
    case PlayerChannel::Key:
        deliverKey(arguments);
        break;
    default:
        break;
    }
}

void PlayerProcess::fit(int width, int height)
{
    m_host.setGeometry(0, 0, width, height);
    if (QWidget *view = m_backend->view())
        view->setGeometry(m_host.rect());
}

void PlayerProcess::deliverKey(const QVariantList &arguments)
{
    QWidget *view = m_backend->view();
    if (!view)
        return;
    QWidget *target = view->focusProxy() ? view->focusProxy() : view;
    QKeyEvent event(QEvent::Type(arguments.value(0).toInt()), arguments.value(1).toInt(),
                    Qt::KeyboardModifiers(arguments.value(2).toInt()), arguments.value(3).toString(),
                    arguments.value(4).toBool());
    QCoreApplication::sendEvent(target, &event);
}

void PlayerProcess::reportLoaded(int generation)
{
    m_channel->send(PlayerChannel::Loaded, {generation});
}

void PlayerProcess::reportFailed(int generation, const QString &reason)
{
    m_channel->send(PlayerChannel::Failed, {generation, reason});
}

void PlayerProcess::reportPageLost(const QString &reason)
{
    m_channel->send(PlayerChannel::PageLost, {reason});
}

} // namespace kivora
