#pragma once

#include <QWebEngineUrlRequestInterceptor>

namespace kivora {

// Lets the player page read only through our scheme (and the data: and blob: addresses it
// makes itself); every other request, from the page or from a movie, is refused, so a
// child cannot wander onto the web.
class PlayerRequestInterceptor : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT
public:
    explicit PlayerRequestInterceptor(QObject *parent = nullptr);

    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

    static bool isAllowed(const QUrl &url);
};

} // namespace kivora
