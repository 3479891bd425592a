#include "platform/player/web/playerpage.h"

#include "platform/player/web/modulehost.h"
#include "platform/player/playeraddresses.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace kivora {

namespace {

const QString reportPrefix = QStringLiteral("\u0001kivora-player ");

} // namespace

PlayerPage::PlayerPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{
}

void PlayerPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                          int lineNumber, const QString &sourceId)
{
    if (!message.startsWith(reportPrefix)) {
        qCDebug(moduleLog) << level << sourceId << lineNumber << message;
        return;
    }
    const QJsonObject report = QJsonDocument::fromJson(message.mid(reportPrefix.size()).toUtf8()).object();
    const QString event = report.value(QLatin1String("event")).toString();
    const int generation = report.value(QLatin1String("generation")).toInt(-1);
    if (event == QLatin1String("loaded"))
        Q_EMIT movieLoaded(generation);
    else if (event == QLatin1String("failed"))
        Q_EMIT movieFailed(generation, report.value(QLatin1String("reason")).toString());
}

bool PlayerPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    Q_UNUSED(type);
    const bool accepted = isMainFrame && url == QUrl(playerPageUrl());
    if (!accepted)
        qCDebug(moduleLog) << "refused navigation to" << url;
    return accepted;
}

QWebEnginePage *PlayerPage::createWindow(WebWindowType type)
{
    Q_UNUSED(type);
    return nullptr;
}

} // namespace kivora
