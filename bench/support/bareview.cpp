#include "bench/support/bareview.h"

#include "platform/player/playermodule.h"

#include <QUrl>

BareView::BareView()
    : m_schemeRegistered((kivora::PlayerModule::carried(), true))
    , m_page(new BarePage(&m_profile, &m_view))
{
    m_profile.installUrlSchemeHandler("kivora", &m_handler);
    m_view.setPage(m_page);
    m_view.resize(975, 679);
    m_view.show();
    QObject::connect(m_page, &QWebEnginePage::loadFinished, &m_view, [this](bool ok) { m_ready = ok; });
}

void BareView::load()
{
    m_page->setHtml(BarePage::html(), QUrl(QStringLiteral("kivora://player/assets/bare.html")));
}

QString BareView::movieUrl(const QString &path)
{
    return m_handler.addMovie(path).toString(QUrl::FullyEncoded);
}
