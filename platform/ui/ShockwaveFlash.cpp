#include "ShockwaveFlash.h"

#include "playerassets.h"
#include "playerpage.h"
#include "playerprofile.h"
#include "playerschemehandler.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QTimer>
#include <QWebEngineUrlScheme>
#include <QWebEngineView>

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

const char fontName[] = "NotoSansCJK-Regular.ttc";
const char fontFamily[] = "Noto Sans CJK SC";

// Chromium refuses to run its sandbox as root; as root (a kiosk or a container) the engine
// would not start at all, so it runs without the sandbox there. Must happen before the
// engine starts, since the engine reads it once.
void allowEngineAsRoot()
{
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
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

// Settings decided at run time: Chinese device text is drawn with the system's Noto CJK
// font when it is installed.
QJsonObject runtimeConfig()
{
    QJsonObject config;
    if (QFileInfo(PlayerSchemeHandler::fontFile(QLatin1String(fontName))).isFile()) {
        config.insert(QLatin1String("fontSources"),
                      QJsonArray{playerFontsPrefix() + QLatin1String(fontName)});
        const QJsonArray family{QLatin1String(fontFamily)};
        QJsonObject defaults;
        for (const char *kind : {"sans", "serif", "typewriter", "japaneseGothic", "japaneseGothicMono",
                                 "japaneseMincho"})
            defaults.insert(QLatin1String(kind), family);
        config.insert(QLatin1String("defaultFonts"), defaults);
    }
    return config;
}

QString jsArguments(const QJsonArray &arguments)
{
    const QByteArray json = QJsonDocument(arguments).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
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
    // The page must go before the profile it was made with.
    delete m_view;
    delete m_page;
    m_view = nullptr;
    m_page = nullptr;
    m_profile.reset();
}

void ShockwaveFlash::registerScheme()
{
    static bool registered = false;
    allowEngineAsRoot();
    if (registered)
        return;
    registered = true;
    QWebEngineUrlScheme scheme(playerScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::LocalAccessAllowed
                    | QWebEngineUrlScheme::CorsEnabled);
    QWebEngineUrlScheme::registerScheme(scheme);
    // The engine shares its GL context with the widgets; it must be said before the
    // application object exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
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
    const int generation = ++m_generation;
    m_settled = false;
    releaseMovieAddress();

    const bool remote = isRemoteAddress(movie);
    if (!remote && !QFileInfo(movie).isFile()) {
        // The stop path, or any path that names no file: nothing to show.
        if (m_view)
            runOnPage(QStringLiteral("kivoraPlayer.stop()"));
        QTimer::singleShot(0, this, [this, generation] {
            if (generation == m_generation)
                failCurrent(QStringLiteral("no such file"));
        });
        return;
    }

    startPage();
    m_movieAddress = m_profile->schemeHandler()->addMovie(movie);
    runOnPage(QStringLiteral("kivoraPlayer.load(%1)")
                  .arg(jsArguments({generation, m_movieAddress.toString(QUrl::FullyEncoded), runtimeConfig()})));
}

void ShockwaveFlash::prepare()
{
    if (m_view)
        return;
    startPage();
    runOnPage(QStringLiteral("kivoraPlayer.prepare(%1)").arg(jsArguments({runtimeConfig()})));
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
    if (m_alignClient && watched == parentWidget() && event->type() == QEvent::Resize)
        fillParent();
    return QWidget::eventFilter(watched, event);
}

void ShockwaveFlash::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_view)
        m_view->setGeometry(rect());
}

void ShockwaveFlash::fillParent()
{
    if (QWidget *parent = parentWidget())
        setGeometry(parent->contentsRect());
}

void ShockwaveFlash::startPage()
{
    if (!m_view) {
        allowEngineAsRoot();
        m_profile = PlayerProfile::acquire();
        m_page = new PlayerPage(m_profile->profile());
        m_page->setBackgroundColor(Qt::black);
        connect(m_page, &PlayerPage::movieLoaded, this, &ShockwaveFlash::onPageLoaded);
        connect(m_page, &PlayerPage::movieFailed, this, &ShockwaveFlash::onPageFailed);
        connect(m_page, &QWebEnginePage::loadFinished, this, &ShockwaveFlash::onPageLoadFinished);
        connect(m_page, &QWebEnginePage::renderProcessTerminated, this,
                [this](QWebEnginePage::RenderProcessTerminationStatus, int) {
                    m_pageReady = false;
                    m_pageLoading = false;
                    failCurrent(QStringLiteral("the player's web process ended"));
                });
        m_view = new QWebEngineView(this);
        m_view->setPage(m_page);
        m_view->setContextMenuPolicy(Qt::NoContextMenu);
        m_view->setGeometry(rect());
        m_view->show();
        setFocusProxy(m_view);
    }
    if (!m_pageReady && !m_pageLoading) {
        m_pageLoading = true;
        m_page->load(QUrl(playerPageUrl()));
    }
}

void ShockwaveFlash::runOnPage(const QString &script)
{
    if (m_pageReady)
        m_page->runJavaScript(script);
    else
        m_pendingScript = script; // only the latest order matters: each one replaces the movie
}

void ShockwaveFlash::onPageLoadFinished(bool ok)
{
    if (!m_pageLoading)
        return;
    m_pageLoading = false;
    m_pageReady = ok;
    if (!ok) {
        m_pendingScript.clear();
        failCurrent(QStringLiteral("the player page could not be loaded"));
        return;
    }
    if (!m_pendingScript.isEmpty()) {
        m_page->runJavaScript(m_pendingScript);
        m_pendingScript.clear();
    }
}

void ShockwaveFlash::onPageLoaded(int generation)
{
    if (generation != m_generation || m_settled)
        return;
    m_settled = true;
    if (isVisible() && m_view)
        m_view->setFocus(Qt::OtherFocusReason);
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
    if (m_profile && !m_movieAddress.isEmpty())
        m_profile->schemeHandler()->removeMovie(m_movieAddress);
    m_movieAddress.clear();
}

} // namespace kivora
