#include "catalog/contentaddress.h"
#include "platform/player/ShockwaveFlash.h"
#include "tests/nginx/nginxserver.h"
#include "tests/platform/player/shownmovie.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using kivora::ShockwaveFlash;
using kivora::test::cardMovie;
using kivora::test::showsCard;

namespace {

constexpr int loadTimeoutMs = 60000;

} // namespace

// The streaming server's side of playing a title: the player page gets the movie from nginx.
class TestNginxStreaming : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void playsStreamedTitle_data();
    void playsStreamedTitle();

private:
    QTemporaryDir m_content;
    std::unique_ptr<kivora::test::NginxServer> m_server;
    std::unique_ptr<kivora::test::NginxServer> m_tlsServer;
    std::unique_ptr<QWidget> m_window;
};

void TestNginxStreaming::initTestCase()
{
    const std::string reason = kivora::test::NginxServer::unavailableReason();
    if (!reason.empty())
        QSKIP(reason.c_str());
    QVERIFY(m_content.isValid());
    const QByteArray movie = cardMovie();
    QVERIFY(movie.startsWith("FWS"));
    for (const QString &name : {QStringLiteral("erger/做客歌.swf"), QStringLiteral("ywerger/韵律诗the cock's on the housestop.swf")}) {
        QVERIFY(QDir(m_content.path()).mkpath(name.section(u'/', 0, 0)));
        QFile file(m_content.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(movie), movie.size());
    }
    m_server = std::make_unique<kivora::test::NginxServer>(m_content.path().toStdString());
    QVERIFY2(m_server->start(), m_server->error().c_str());
    m_tlsServer = std::make_unique<kivora::test::NginxServer>(m_content.path().toStdString());
    QVERIFY2(m_tlsServer->serveTls() && m_tlsServer->start(), m_tlsServer->error().c_str());
    // Before the first player: the relay takes its trust when the player module starts.
    qputenv("KIVORA_TEST_CA_FILE", QByteArray::fromStdString(m_tlsServer->authorityFile()));

    m_window = std::make_unique<QWidget>();
    m_window->resize(975, 679);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestNginxStreaming::playsStreamedTitle_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QByteArray>("requestPath");
    QTest::addColumn<bool>("tls");

    QTest::newRow("Chinese title") << QStringLiteral("erger") << QStringLiteral("做客歌")
                                   << QByteArray("/erger/%E5%81%9A%E5%AE%A2%E6%AD%8C.swf") << false;
    QTest::newRow("spaces and apostrophe")
        << QStringLiteral("ywerger") << QStringLiteral("韵律诗the cock's on the housestop")
        << QByteArray("/ywerger/%E9%9F%B5%E5%BE%8B%E8%AF%97the%20cock") << false;
    QTest::newRow("over TLS") << QStringLiteral("erger") << QStringLiteral("做客歌")
                              << QByteArray("/erger/%E5%81%9A%E5%AE%A2%E6%AD%8C.swf") << true;
}

void TestNginxStreaming::playsStreamedTitle()
{
    QFETCH(QString, folder);
    QFETCH(QString, title);
    QFETCH(QByteArray, requestPath);
    QFETCH(bool, tls);

    kivora::test::NginxServer &server = tls ? *m_tlsServer : *m_server;
    const QString movie = QString::fromStdU16String(
        kivora::contentAddress(server.origin(), folder.toStdString(), title.toStdU16String()));
    auto player = std::make_unique<ShockwaveFlash>(m_window.get());
    player->setAlignClient();
    player->show();
    QSignalSpy loaded(player.get(), &ShockwaveFlash::movieLoaded);
    QSignalSpy failed(player.get(), &ShockwaveFlash::movieFailed);
    player->setMovie(movie);

    QTRY_COMPARE_WITH_TIMEOUT(loaded.size() + failed.size(), 1, loadTimeoutMs);
    QVERIFY2(failed.isEmpty(), qPrintable(failed.value(0).value(1).toString()));
    QTRY_VERIFY_WITH_TIMEOUT(showsCard(*player), loadTimeoutMs);
    QVERIFY2(server.logged("GET " + requestPath.toStdString()), server.accessLog().c_str());
    QVERIFY2(server.accessLog().find(" 404") == std::string::npos, server.accessLog().c_str());
}

int main(int argc, char **argv)
{
    ShockwaveFlash::setUpProcess();
    QApplication app(argc, argv);
    TestNginxStreaming test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_nginxstreaming.moc"
