#pragma once

#include "platform/player/playerbackend.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

namespace kivora::test {

// Stands in for the web engine's page: keeps what the player engine asks of it in `calls`,
// and reports every movie loaded as soon as the event loop turns. What it makes of holders
// and generations is what the page does.
class FakePlayerBackend final : public PlayerBackend
{
public:
    explicit FakePlayerBackend(Events &events) : m_events(events) { ++made; live = this; }
    ~FakePlayerBackend() override
    {
        delete m_view;
        if (live == this)
            live = nullptr;
    }

    void attach(QWidget *holder) override
    {
        if (holder == m_holder)
            return;
        m_generation = 0;
        m_holder = holder;
        if (!m_view)
            m_view = new QWidget(holder);
        m_view->setParent(holder);
        m_view->show();
    }
    QWidget *holder() const override { return m_holder; }
    void detach(QWidget *holder) override
    {
        if (holder != m_holder)
            return;
        delete m_view;
        m_holder = nullptr;
        m_generation = 0;
    }
    QWidget *view() const override { return m_view; }

    void load(int generation, const QUrl &address, const QJsonObject &) override
    {
        calls << QStringLiteral("load ") + address.toString();
        m_generation = generation;
        QTimer::singleShot(0, m_view.data(), [this, generation] {
            if (generation == m_generation)
                m_events.reportLoaded(generation);
        });
    }
    void stop() override { m_generation = 0; }
    void pause(int generation) override { calls << QStringLiteral("pause %1").arg(generation == m_generation); }
    bool resume(int generation) override
    {
        calls << QStringLiteral("resume %1").arg(generation == m_generation);
        return generation != 0 && generation == m_generation;
    }
    void prepare(const QJsonObject &) override {}
    void recycle() override
    {
        calls << QStringLiteral("recycle");
        m_generation = 0;
    }
    QUrl addMovie(const QString &movie) override { return QUrl(QStringLiteral("kivora://player/movie/") + movie); }
    void removeMovie(const QUrl &) override {}

    void losePage(const QString &reason)
    {
        m_generation = 0;
        m_events.reportPageLost(reason);
    }

    QStringList calls;
    static inline int made = 0;
    static inline FakePlayerBackend *live = nullptr;

private:
    Events &m_events;
    QPointer<QWidget> m_holder;
    QPointer<QWidget> m_view;
    int m_generation = 0;
};

} // namespace kivora::test
