#pragma once

#include <QWebEnginePage>

namespace kivora {

// The page that hosts Ruffle. It stays on the player page: it opens no window and follows
// no link, and it turns the page's reports (console messages with a private prefix) into
// signals.
class PlayerPage : public QWebEnginePage
{
    Q_OBJECT
public:
    explicit PlayerPage(QWebEngineProfile *profile, QObject *parent = nullptr);

Q_SIGNALS:
    void movieLoaded(int generation);
    void movieFailed(int generation, const QString &reason);

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                  int lineNumber, const QString &sourceId) override;
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage *createWindow(WebWindowType type) override;
};

} // namespace kivora
