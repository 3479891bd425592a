#include "platform/player/processplayerbackend.h"

#include "platform/player/embeddedview.h"

#include <QGuiApplication>
#include <QJsonDocument>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTimer>

#include <xcb/xcb.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace kivora {

namespace {

// How long a player process may take to end once its channel has closed.
constexpr int endingTimeMs = 5000;

xcb_connection_t *xConnection()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// Moves window, another process's, into parent at x, y; waits until the X server has done it,
// so that no window this program destroys next still holds it.
void reparent(quint32 window, quint32 parent, int x, int y)
{
    xcb_connection_t *connection = xConnection();
    if (!connection)
        return;
    if (parent == 0)
        parent = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_reparent_window(connection, window, parent, qint16(x), qint16(y));
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

QString json(const QJsonObject &object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

} // namespace

ProcessPlayerBackend::ProcessPlayerBackend(Events &events)
    : m_events(events)
{
    startProcess();
}

void ProcessPlayerBackend::startProcess()
{
    int sockets[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0)
        throw std::runtime_error(std::string("The SWF player cannot be created: no channel to its process: ")
                                 + std::strerror(errno));
    const int childEnd = sockets[1];
    // Of nobody's: it outlives this backend until the process has ended, and a process that
    // runs on when the program ends is ended by the system (see below).
    m_process = new QProcess;
    // The running executable itself, even after a self-update has replaced its file.
    m_process->setProgram(QStringLiteral("/proc/self/exe"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("KIVORA_PLAYER_CHANNEL"), QString::number(childEnd));
    m_process->setProcessEnvironment(environment);
    m_process->setProcessChannelMode(QProcess::ForwardedChannels);
    m_process->setInputChannelMode(QProcess::ForwardedInputChannel);
    m_process->setChildProcessModifier([childEnd] {
        ::fcntl(childEnd, F_SETFD, 0);
        // The player goes with the program, however the program ends.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    });
    connect(m_process, &QProcess::finished, this,
            [this] { onProcessEnded(QStringLiteral("the player's process ended")); });
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            onProcessEnded(QStringLiteral("the player's process could not be started: ") + m_process->errorString());
    });
    m_process->start();
    ::close(childEnd);
    m_channel = new PlayerChannel(sockets[0], this);
    connect(m_channel, &PlayerChannel::received, this, &ProcessPlayerBackend::onMessage);
    m_playerWindow = 0; // the new process says which
    if (m_view)
        m_view->setChannel(m_channel);
}

void ProcessPlayerBackend::ensureProcess()
{
    if (m_process->state() != QProcess::NotRunning)
        return;
    retireProcess();
    startProcess();
}

// The process ends when its end of the channel closes; one that does not is killed.
void ProcessPlayerBackend::retireProcess()
{
    m_process->disconnect(this);
    // Later: a report of the channel's may be what brought us here.
    m_channel->disconnect(this);
    m_channel->deleteLater();
    QProcess *process = m_process;
    if (process->state() == QProcess::NotRunning) {
        process->deleteLater();
        return;
    }
    connect(process, &QProcess::finished, process, &QObject::deleteLater);
    QTimer::singleShot(endingTimeMs, process, [process] { process->kill(); });
}

ProcessPlayerBackend::~ProcessPlayerBackend()
{
    // The player's window leaves the view before the view goes.
    parkWindow();
    delete m_view;
    retireProcess();
}

void ProcessPlayerBackend::attach(QWidget *holder)
{
    if (m_holder == holder)
        return;
    if (m_holder) {
        stop();
        m_holder->window()->removeEventFilter(this);
    }
    m_holder = holder;
    holder->window()->installEventFilter(this);
    // A view of the holder's own: a native widget moved to another window may get another X
    // window, and the player's would go with the old one.
    QPointer<EmbeddedView> previous = m_view;
    m_view = new EmbeddedView(holder);
    m_view->setChannel(m_channel);
    m_view->setGeometry(holder->rect());
    m_view->show();
    placeWindow();
    delete previous;
}

QWidget *ProcessPlayerBackend::view() const
{
    return m_view;
}

void ProcessPlayerBackend::detach(QWidget *holder)
{
    if (m_holder != holder || !holder)
        return;
    holder->window()->removeEventFilter(this);
    m_holder = nullptr;
    m_generation = 0;
    parkWindow();
    delete m_view;
    m_channel->send(PlayerChannel::Detach);
}

bool ProcessPlayerBackend::eventFilter(QObject *watched, QEvent *event)
{
    if (m_holder && watched == m_holder->window()) {
        if (event->type() == QEvent::Hide)
            parkWindow();
        else if (event->type() == QEvent::Show)
            placeWindow();
    }
    return QObject::eventFilter(watched, event);
}

void ProcessPlayerBackend::placeWindow()
{
    if (!m_playerWindow || !m_view)
        return;
    reparent(m_playerWindow, quint32(m_view->winId()), 0, 0);
    m_channel->send(PlayerChannel::Attach, {m_view->width(), m_view->height()});
}

void ProcessPlayerBackend::parkWindow()
{
    if (m_playerWindow && m_view)
        reparent(m_playerWindow, 0, -30000, -30000);
}

void ProcessPlayerBackend::load(int generation, const QUrl &address, const QJsonObject &config)
{
    ensureProcess();
    m_generation = generation;
    m_loadOrder = {generation, address.toString(), json(config)};
    m_channel->send(PlayerChannel::Load, m_loadOrder);
}

void ProcessPlayerBackend::stop()
{
    m_generation = 0;
    m_channel->send(PlayerChannel::Stop);
}

void ProcessPlayerBackend::pause(int generation)
{
    m_channel->send(PlayerChannel::Pause, {generation});
}

bool ProcessPlayerBackend::resume(int generation)
{
    if (generation == 0 || generation != m_generation)
        return false;
    // Should the page have dropped the movie meanwhile, the process says so and it starts over.
    m_channel->send(PlayerChannel::Resume, {generation});
    return true;
}

void ProcessPlayerBackend::prepare(const QJsonObject &config)
{
    ensureProcess();
    m_channel->send(PlayerChannel::Prepare, {json(config)});
}

void ProcessPlayerBackend::recycle()
{
    m_generation = 0;
    m_channel->send(PlayerChannel::Recycle);
}

QUrl ProcessPlayerBackend::addMovie(const QString &movie)
{
    ensureProcess();
    // The process's own address for the movie stays there: this one stands for it.
    const QUrl address(QStringLiteral("kivora-movie:%1").arg(m_nextMovieId++));
    m_channel->send(PlayerChannel::AddMovie, {address.toString(), movie});
    return address;
}

void ProcessPlayerBackend::removeMovie(const QUrl &address)
{
    m_channel->send(PlayerChannel::RemoveMovie, {address.toString()});
}

void ProcessPlayerBackend::onMessage(PlayerChannel::Message message, const QVariantList &arguments)
{
    switch (message) {
    case PlayerChannel::Loaded:
        m_events.reportLoaded(arguments.value(0).toInt());
        break;
    case PlayerChannel::Failed:
        m_events.reportFailed(arguments.value(0).toInt(), arguments.value(1).toString());
        break;
    case PlayerChannel::PageLost:
        m_generation = 0;
        m_events.reportPageLost(arguments.value(0).toString());
        break;
    case PlayerChannel::ResumeRefused:
        if (arguments.value(0).toInt() == m_generation && m_generation != 0)
            m_channel->send(PlayerChannel::Load, m_loadOrder);
        break;
    case PlayerChannel::Window:
        m_playerWindow = arguments.value(0).toUInt();
        placeWindow();
        break;
    default:
        break;
    }
}

void ProcessPlayerBackend::onProcessEnded(const QString &reason)
{
    m_generation = 0;
    m_events.reportPageLost(reason);
}

} // namespace kivora
