#pragma once

#include <QString>
#include <QWebEnginePage>

// The baseline of the player benches: Ruffle with its default settings on a page of its own,
// no widget of ours around it. Load bareHtml into it under the player's scheme, then call
// play(url) from a script; `loaded` turns true when the movie has started.
class BarePage : public QWebEnginePage
{
public:
    using QWebEnginePage::QWebEnginePage;
    bool loaded = false;

    static QString html();

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int lineNumber,
                                  const QString &sourceId) override;
};
