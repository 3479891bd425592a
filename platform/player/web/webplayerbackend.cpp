#include "platform/player/web/webplayerbackend.h"

#include "platform/player/playeraddresses.h"
#include "platform/player/web/playerpage.h"
#include "platform/player/web/playerprofile.h"
#include "platform/player/web/playerschemehandler.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QUrl>
#include <QWebEngineView>

#include <utility>

namespace kivora {

namespace {

QString jsArguments(const QJsonArray &arguments)
{
    const QByteArray json = QJsonDocument(arguments).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

} // namespace

WebPlayerBackend::WebPlayerBackend(Events &events)
    : m_events(events)
    , m_profile(PlayerProfile::acquire())
{
}

void WebPlayerBackend::createPage()
{
    PlayerPage *old = m_page;
    m_page = new PlayerPage(m_profile->profile());
    m_page->setBackgroundColor(Qt::black);
    connect(m_page, &PlayerPage::movieLoaded, this, [this](int generation) { m_events.reportLoaded(generation); });
    connect(m_page, &PlayerPage::movieFailed, this,
            [this](int generation, const QString &reason) { m_events.reportFailed(generation, reason); });
    connect(m_page, &QWebEnginePage::loadFinished, this, &WebPlayerBackend::onLoadFinished);
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus, int) {
                m_pageReady = false;
                m_pageLoading = false;
                m_prepared = false;
                m_generation = 0;
                m_events.reportPageLost(QStringLiteral("the player's web process ended"));
            });
    m_view->setPage(m_page);
    m_pageReady = false;
    m_pageLoading = false;
    m_prepared = false;
    m_generation = 0;
    m_pendingScript.clear();
    if (old) {
        old->disconnect(this);
        delete old;
    }
}

void WebPlayerBackend::recycle()
{
    if (!m_view)
        return;
    createPage();
    prepare(m_config);
}

WebPlayerBackend::~WebPlayerBackend()
{
    // The view may sit in a control that is already going; the page must go before the
    // profile it was made with.
    delete m_view;
    delete m_page;
}

void WebPlayerBackend::attach(QWidget *holder)
{
    if (m_holder == holder)
        return;
    if (m_holder)
        stop();
    m_holder = holder;
    if (!m_view) {
        // Made inside its first holder: a view that starts as a window of its own breaks
        // Qt's focus chain once its page adds the widget it draws in.
        m_view = new QWebEngineView(holder);
        m_view->setContextMenuPolicy(Qt::NoContextMenu);
        m_view->setFocusPolicy(Qt::StrongFocus);
        createPage();
    } else {
        m_view->setParent(holder);
    }
    m_view->setGeometry(holder->rect());
    m_view->show();
}

void WebPlayerBackend::detach(QWidget *holder)
{
    if (m_holder != holder || !holder)
        return;
    // Only a control that goes lets go: the page goes too, and the next holder starts anew.
    m_holder = nullptr;
    m_page->disconnect(this);
    delete m_view;
    delete m_page;
    m_view = nullptr;
    m_page = nullptr;
    m_pageReady = false;
    m_pageLoading = false;
    m_prepared = false;
    m_generation = 0;
    m_pendingScript.clear();
}

void WebPlayerBackend::load(int generation, const QUrl &address, const QJsonObject &config)
{
    m_config = config;
    ensurePage();
    m_prepared = true; // a movie starts Ruffle as well as the blank one would
    m_generation = generation;
    run(QStringLiteral("kivoraPlayer.load(%1)").arg(jsArguments({generation, address.toString(QUrl::FullyEncoded), config})));
}

void WebPlayerBackend::stop()
{
    m_generation = 0;
    if (m_pageReady)
        m_page->runJavaScript(QStringLiteral("kivoraPlayer.stop()"));
    else
        m_pendingScript.clear(); // nothing was told to the page yet
}

void WebPlayerBackend::pause(int generation)
{
    if (generation == 0 || generation != m_generation)
        return;
    if (m_pageReady) {
        m_page->runJavaScript(QStringLiteral("kivoraPlayer.pause(%1)").arg(generation));
    } else {
        // Not yet given to the page: it would start playing out of sight.
        m_pendingScript.clear();
        m_generation = 0;
    }
}

bool WebPlayerBackend::resume(int generation)
{
    if (generation == 0 || generation != m_generation || !m_pageReady)
        return false;
    m_page->runJavaScript(QStringLiteral("kivoraPlayer.resume(%1)").arg(generation));
    return true;
}

void WebPlayerBackend::prepare(const QJsonObject &config)
{
    m_config = config;
    ensurePage();
    if (m_prepared || !m_pendingScript.isEmpty())
        return;
    m_prepared = true;
    run(QStringLiteral("kivoraPlayer.prepare(%1)").arg(jsArguments({config})));
}

QWidget *WebPlayerBackend::view() const
{
    return m_view;
}

QUrl WebPlayerBackend::addMovie(const QString &movie)
{
    return m_profile->schemeHandler()->addMovie(movie);
}

void WebPlayerBackend::removeMovie(const QUrl &address)
{
    m_profile->schemeHandler()->removeMovie(address);
}

void WebPlayerBackend::ensurePage()
{
    if (!m_page || m_pageReady || m_pageLoading)
        return;
    m_pageLoading = true;
    m_page->load(QUrl(playerPageUrl()));
}

void WebPlayerBackend::run(const QString &script)
{
    if (m_pageReady)
        m_page->runJavaScript(script);
    else
        m_pendingScript = script; // only the latest order matters: each one replaces the movie
}

void WebPlayerBackend::onLoadFinished(bool ok)
{
    if (!m_pageLoading)
        return;
    m_pageLoading = false;
    m_pageReady = ok;
    const QString pending = std::exchange(m_pendingScript, QString());
    if (!ok) {
        m_prepared = false;
        m_generation = 0;
        m_events.reportPageLost(QStringLiteral("the player page could not be loaded"));
        return;
    }
    if (!pending.isEmpty())
        m_page->runJavaScript(pending);
}

} // namespace kivora
