#include "platform/player/ShockwaveFlash.h"

#include "platform/player/playerassets.h"
#include "platform/core/diagnostics.h"
#include "platform/player/playerengine.h"
#include "platform/player/playerprocess.h"
#include "platform/player/playerrest.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QTimer>
#include <QShowEvent>
#include <QFocusEvent>
#include <QHideEvent>

#include <stdexcept>
#include <unistd.h>

// The player's files sit in an object file of this static library; naming its initialiser
// keeps the linker from dropping it.
static void initPlayerResources()
{
    Q_INIT_RESOURCE(kivora_player);
}

namespace kivora {

namespace {

const char fontName[] = "DroidSansFallbackGB2312.ttf";
const char fontFamily[] = "Droid Sans Fallback";

// Chromium refuses to run its sandbox as root; as root (a kiosk or a container) the engine
// would not start at all, so it runs without the sandbox there. Must happen before the
// engine starts, since the engine reads it once.
void allowEngineAsRoot()
{
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

// Adds a switch to the web engine's command line, unless the user gave that switch already.
void addEngineSwitch(const QByteArray &argument)
{
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    const qsizetype equals = argument.indexOf('=');
    if (flags.contains(equals < 0 ? argument : argument.left(equals)))
        return;
    flags += flags.isEmpty() ? argument : ' ' + argument;
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
}

// What the engine keeps running besides the page, for as long as the program runs (see
// PlayerRest): the page collects a dropped movie's memory at once (Ruffle's is hundreds of
// megabytes for some movies) rather than whenever the script engine gets round to it; the
// audio service's process ends a few seconds after the last page that used it has gone (the
// next one starts it again); and the engine starts no unsandboxed zygote, a process of some
// ten megabytes that nothing of the player uses (there is no GPU process, and the audio
// service is started directly).
void keepEngineSmall()
{
    addEngineSwitch("--js-flags=--expose-gc");
    addEngineSwitch("--audio-service-quit-timeout-ms=5000");
    addEngineSwitch("--no-unsandboxed-zygote");
}

QtMessageHandler previousMessageHandler = nullptr;

// Without GL on X, the toolkit says so when asked for a GL context to share, and the engine
// lists its settings and says it found no graphics back end: that is what was meant.
void quietAboutMissingGl(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const bool expected = (type == QtWarningMsg
                           && (message.startsWith(QLatin1String("QXcbIntegration: Cannot create platform OpenGL context"))
                               || message.startsWith(QLatin1String("No suitable graphics backend found"))))
        || (type == QtInfoMsg && qstrcmp(context.category, "qt.webenginecontext") == 0);
    if (expected)
        return;
    if (previousMessageHandler)
        previousMessageHandler(type, context, message);
}

// The page is drawn in software, as a picture among the window's widgets. Drawn with GL,
// every window the player had visited kept a GL compositor of its own (tens of megabytes
// each, for good). Without GL on X, the GL context the engine still makes to share at
// start-up is not made either: it loaded the GL driver (a software one, compiler and all)
// before the launcher could show. Said before the application object exists; a
// QT_QUICK_BACKEND or QT_XCB_GL_INTEGRATION from the user still wins. (The player module
// chooses the software renderer when it loads.)
void drawWithoutGl()
{
    if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND") && !qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    // The player's process finds it set already.
    if (qgetenv("QT_XCB_GL_INTEGRATION") == "none")
        previousMessageHandler = qInstallMessageHandler(quietAboutMissingGl);
}

bool engineProcessPresent()
{
    const QString configured = qEnvironmentVariable("QTWEBENGINEPROCESS_PATH");
    if (!configured.isEmpty())
        return QFileInfo(configured).isExecutable();
    return QFileInfo(QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath)
                     + QStringLiteral("/QtWebEngineProcess")).isExecutable();
}

bool isRemoteAddress(const QString &movie)
{
    const QUrl url(movie, QUrl::TolerantMode);
    return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

// Settings given with every movie: Chinese device text is drawn with the CJK font that the
// page carries.
QJsonObject runtimeConfig()
{
    QJsonObject config;
    config.insert(QLatin1String("fontSources"), QJsonArray{playerFontsPrefix() + QLatin1String(fontName)});
    const QJsonArray family{QLatin1String(fontFamily)};
    QJsonObject defaults;
    for (const char *kind : {"sans", "serif", "typewriter", "japaneseGothic", "japaneseGothicMono", "japaneseMincho"})
        defaults.insert(QLatin1String(kind), family);
    config.insert(QLatin1String("defaultFonts"), defaults);
    return config;
}

// Unique across controls: the page's reports reach every control, and each keeps to its own.
int nextGeneration()
{
    static int generation = 0;
    return ++generation;
}

} // namespace

ShockwaveFlash::ShockwaveFlash(QWidget *parent)
    : QWidget(parent)
{
    static const bool resourcesReady = (initPlayerResources(), true);
    Q_UNUSED(resourcesReady);
    if (!playerAssetsPresent())
        throw std::runtime_error("The SWF player cannot be created: its files are missing from "
                                 + playerAssetsRoot().toStdString());
    if (!engineProcessPresent())
        throw std::runtime_error("The SWF player cannot be created: the web engine (QtWebEngineProcess) "
                                 "is not installed");
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
}

ShockwaveFlash::~ShockwaveFlash()
{
    releaseMovieAddress();
    // The view is not ours to delete: it goes back to the engine, which outlives this
    // control while another one holds it.
    if (m_engine)
        m_engine->detach(this);
}

void ShockwaveFlash::setUpProcess()
{
    static bool done = false;
    allowEngineAsRoot();
    if (done)
        return;
    done = true;
    keepEngineSmall();
    drawWithoutGl();
    // The web engine shares the application's GL context, which only the application object
    // makes, and only when told before it exists. (Without GL on X it is an empty one.) The
    // engine, loaded later, would otherwise find none and fail.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    PlayerProcess::runIfAsked();
}

void ShockwaveFlash::setAssetsRoot(const QString &root)
{
    setPlayerAssetsRoot(root);
}

QString ShockwaveFlash::assetsRoot()
{
    return playerAssetsRoot();
}

QString ShockwaveFlash::movie() const
{
    return m_movie;
}

void ShockwaveFlash::setMovie(const QString &movie)
{
    m_movie = movie;
    m_generation = nextGeneration();
    m_settled = false;
    m_suspended = false;
    releaseMovieAddress();

    m_playable = isRemoteAddress(movie) || QFileInfo(movie).isFile();
    if (!m_playable) {
        // The stop path, or any path that names no file: nothing to show.
        if (holdsEngine())
            m_engine->stop();
        failLater(QStringLiteral("no such file"));
        return;
    }
    if (!isVisible()) {
        // Out of sight nothing plays; it starts when the control is shown.
        m_suspended = true;
        return;
    }
    play();
}

void ShockwaveFlash::play()
{
    if (!useEngine()) {
        failLater(m_engineFailure);
        return;
    }
    m_movieAddress = m_engine->addMovie(m_movie);
    m_engine->load(m_generation, m_movieAddress, runtimeConfig());
}

// After the caller has returned, as a page's report would come.
void ShockwaveFlash::failLater(const QString &reason)
{
    const int generation = m_generation;
    QTimer::singleShot(0, this, [this, generation, reason] {
        if (generation == m_generation)
            failCurrent(reason);
    });
}

void ShockwaveFlash::prepare()
{
    if (useEngine())
        m_engine->prepare(runtimeConfig());
}

bool ShockwaveFlash::holdsEngine() const
{
    return m_engine && m_engine->holder() == this;
}

bool ShockwaveFlash::useEngine()
{
    if (!m_engine) {
        allowEngineAsRoot();
        try {
            m_engine = PlayerEngine::acquire();
        } catch (const std::runtime_error &failure) {
            // Each movie fails with the reason; the window and the rest of the program go on.
            m_engineFailure = QString::fromUtf8(failure.what());
            qCWarning(playerLog).noquote() << m_engineFailure;
            return false;
        }
        connect(m_engine.get(), &PlayerEngine::movieLoaded, this, &ShockwaveFlash::onPageLoaded);
        connect(m_engine.get(), &PlayerEngine::movieFailed, this, &ShockwaveFlash::onPageFailed);
        connect(m_engine.get(), &PlayerEngine::pageLost, this, [this](const QString &reason) {
            if (holdsEngine())
                failCurrent(reason);
        });
        connect(&PlayerRest::instance(), &PlayerRest::letPlayerGo, this, &ShockwaveFlash::letEngineGo,
                Qt::UniqueConnection);
    }
    m_engine->attach(this);
    if (QWidget *top = window(); top != this) {
        top->removeEventFilter(this);
        top->installEventFilter(this);
    }
    PlayerRest::instance().watch(window());
    return true;
}

void ShockwaveFlash::letEngineGo()
{
    if (!m_engine)
        return;
    // Its window is out of sight, so a movie it has waits for the window to show again and
    // then starts over, in a new engine.
    releaseMovieAddress();
    m_engine->disconnect(this);
    m_engine.reset();
}

void ShockwaveFlash::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_suspended)
        return;
    m_suspended = false;
    if (holdsEngine() && m_engine->resume(m_generation))
        return;
    // Another control took the page meanwhile: the movie starts over.
    m_generation = nextGeneration();
    m_settled = false;
    releaseMovieAddress();
    play();
}

void ShockwaveFlash::focusInEvent(QFocusEvent *event)
{
    // Keys go to the movie. (A focus proxy would do, but moving a proxied view between
    // windows breaks Qt's focus chain.)
    QWidget::focusInEvent(event);
    if (holdsEngine())
        m_engine->view()->setFocus(event->reason());
}

void ShockwaveFlash::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (!m_playable || m_suspended)
        return;
    // Hidden by its window (a close request, a minimised window) or on its own: no sound out
    // of a child's sight and reach.
    m_suspended = true;
    if (holdsEngine())
        m_engine->pause(m_generation);
}

void ShockwaveFlash::setAlignClient()
{
    m_alignClient = true;
    if (QWidget *parent = parentWidget()) {
        parent->removeEventFilter(this);
        parent->installEventFilter(this);
    }
    fillParent();
}

bool ShockwaveFlash::eventFilter(QObject *watched, QEvent *event)
{
    // The window closes (a minimised one only pauses, through hideEvent): whatever its
    // movies left in the page goes with a fresh page.
    if (watched == window() && event->type() == QEvent::Hide && !event->spontaneous() && holdsEngine()) {
        // Later: the window may be hiding because it is being destroyed.
        QTimer::singleShot(0, this, [this] {
            if (holdsEngine() && !window()->isVisible())
                m_engine->recycle();
        });
    }
    if (m_alignClient && watched == parentWidget() && event->type() == QEvent::Resize)
        fillParent();
    return QWidget::eventFilter(watched, event);
}

void ShockwaveFlash::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (holdsEngine())
        m_engine->view()->setGeometry(rect());
}

void ShockwaveFlash::fillParent()
{
    if (QWidget *parent = parentWidget())
        setGeometry(parent->contentsRect());
}

void ShockwaveFlash::onPageLoaded(int generation)
{
    if (generation != m_generation || m_settled)
        return;
    m_settled = true;
    if (isVisible() && holdsEngine())
        m_engine->view()->setFocus(Qt::OtherFocusReason);
    Q_EMIT movieLoaded(m_movie);
}

void ShockwaveFlash::onPageFailed(int generation, const QString &reason)
{
    if (generation == m_generation)
        failCurrent(reason);
}

void ShockwaveFlash::failCurrent(const QString &reason)
{
    if (m_settled)
        return;
    m_settled = true;
    Q_EMIT movieFailed(m_movie, reason);
}

void ShockwaveFlash::releaseMovieAddress()
{
    if (m_engine && !m_movieAddress.isEmpty())
        m_engine->removeMovie(m_movieAddress);
    m_movieAddress.clear();
}

} // namespace kivora
