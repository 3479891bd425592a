#pragma once

#include "bench/support/barepage.h"
#include "bench/support/bareschemehandler.h"

#include <QWebEngineProfile>
#include <QWebEngineView>

// A shown web view around a BarePage, with a profile of its own and the player's scheme
// handler serving the same files: the benches' baseline.
class BareView
{
public:
    BareView();

    // Starts loading the bare page; pageReady() turns true once it has loaded.
    void load();
    bool pageReady() const { return m_ready; }
    BarePage &page() { return *m_page; }
    QWebEngineView &view() { return m_view; }
    // The address under which the page reaches the movie at `path`.
    QString movieUrl(const QString &path);

private:
    // Loading the player module, as the program does, registers the scheme, which must
    // happen before the first profile.
    bool m_schemeRegistered;
    QWebEngineProfile m_profile; // outlives the view and its page
    BareSchemeHandler m_handler;
    QWebEngineView m_view;
    BarePage *m_page;
    bool m_ready = false;
};
