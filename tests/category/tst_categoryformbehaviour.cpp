// The category windows in use: choosing titles that play from disk or stream while they
// download, the jobs' reports reaching their own window, failed and interrupted downloads,
// and the player resting once no window needs it.
#include "tests/category/categoryformfixture.h"
#include "tests/support/processtree.h"
#include "tests/support/refusingport.h"
#include "tests/support/scriptedserver.h"
#include "tests/support/testfiles.h"

#include "category/progressrule.h"
#include "platform/player/playerengine.h"

#include <QProgressBar>
#include <QSignalSpy>

#include <unistd.h>

using namespace kivora;
using namespace kivora::test;

namespace {

// Big enough that a transfer paused half-way shows a percentage strictly between 0 and 100.
std::string bigBody()
{
    return varyingBytes(256 * 1024, 1);
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A transfer has reported some of its bytes but not all.
bool midway(const TCategoryForm *form)
{
    return form->DownloadProgress > 0 && form->DownloadProgress < 100;
}

// How many jobs hold the sink of the window that made the latest choice: the window and
// the current transfer hold it too.
long runningJobsOfLatestChoice()
{
    return currentTransfer.formname.use_count() - 2;
}

// The request target of a raw HTTP request: what lies between the method and the version.
QByteArray requestTarget(const std::string &request)
{
    const QByteArray line = QByteArray::fromStdString(request.substr(0, request.find("\r\n")));
    const QList<QByteArray> parts = line.split(' ');
    return parts.size() == 3 ? parts[1] : QByteArray();
}

// Every process under the test: the player's process, and the web engine's under it.
std::vector<pid_t> processesUnderTest()
{
    return kivora::test::processesUnder(::getpid());
}

} // namespace

class TestCategoryFormBehaviour : public CategoryFormFixture
{
    Q_OBJECT
private Q_SLOTS:
    void localTitlePlaysWithoutJob();
    void missingTitleStreamsThenPlaysLocally();
    void arrowKeysChooseTitles();
    void jobsReportToTheirOwnWindow();
    void twoJobsInOneWindow();
    void backAndCloseWhileDownloading();
    void failedDownloadLeavesNoFile_data();
    void failedDownloadLeavesNoFile();
    void titleLandsUnderExactName_data();
    void titleLandsUnderExactName();
    void windowDestroyedWhileJobRuns();
    void restingPlayerGoesAndComesBack();
};

void TestCategoryFormBehaviour::localTitlePlaysWithoutJob()
{
    const QString title = QStringLiteral("做客歌");
    QVERIFY(writeBytes(localFile("erger", title), cardMovie()));

    TCategoryForm *form = createWindow("TergerForm");
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QSignalSpy loaded(form->ShockwaveFlash1, &ShockwaveFlash::movieLoaded);
    clickTitle(form, 0);

    QVERIFY(form->ListBox1->isHidden());
    QVERIFY(form->ShockwaveFlash1->isVisible());
    QCOMPARE(form->ShockwaveFlash1->geometry(), form->Panel1->contentsRect());
    QCOMPARE(form->ShockwaveFlash1->movie(), localFile("erger", title));
    QVERIFY(form->PB->isHidden());
    QCOMPARE(runningJobsOfLatestChoice(), 0);
    // The choice is recorded all the same.
    QCOMPARE(text(currentTransfer.SourceFile1), address(m_stream->host(), "erger", title));
    QCOMPARE(text(currentTransfer.SourceFile2), address(m_download->host(), "erger", title));
    QCOMPARE(text(currentTransfer.DestFile1), localFile("erger", title));

    QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, playerTimeoutMs);
    QCOMPARE(m_stream->totalRequests(), 0);
    QCOMPARE(m_download->totalRequests(), 0);
    QCOMPARE(form->DownloadProgress, 0);
}

void TestCategoryFormBehaviour::missingTitleStreamsThenPlaysLocally()
{
    const QString title = QStringLiteral("做客歌");
    const std::string path = serverPath("erger", title);
    m_download->serve(path, cardBytes());
    m_stream->serve(path, cardBytes());

    TCategoryForm *form = createWindow("TergerForm");
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QSignalSpy loaded(form->ShockwaveFlash1, &ShockwaveFlash::movieLoaded);
    clickTitle(form, 0);

    QVERIFY(form->ListBox1->isHidden());
    QVERIFY(form->ShockwaveFlash1->isVisible());
    QCOMPARE(form->ShockwaveFlash1->movie(), address(m_stream->host(), "erger", title));
    QVERIFY(!form->PB->isHidden());

    QTRY_COMPARE_WITH_TIMEOUT(fileBytes(localFile("erger", title)), cardMovie(), transferTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(form->PB->isHidden(), transferTimeoutMs);
    QCOMPARE(form->DownloadProgress, 100);
    QCOMPARE(m_download->requests(path), 1);
    QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, playerTimeoutMs);
    QCOMPARE(m_stream->requests(path), 1);

    // Back drops the movie and brings the list back with the title still selected.
    clickBack(form);
    QVERIFY(form->ShockwaveFlash1->isHidden());
    QVERIFY(form->ListBox1->isVisible());
    QCOMPARE(form->ListBox1->currentRow(), 0);
    QVERIFY(form->ListBox1->item(0)->isSelected());
    QVERIFY(form->ShockwaveFlash1->movie().endsWith(QStringLiteral("A123.swf")));
    QVERIFY(!QFile::exists(form->ShockwaveFlash1->movie()));

    // The same title again: now from the file, with no job.
    QTRY_COMPARE_WITH_TIMEOUT(runningJobsOfLatestChoice(), 0, transferTimeoutMs);
    clickTitle(form, 0);
    QCOMPARE(form->ShockwaveFlash1->movie(), localFile("erger", title));
    QVERIFY(form->ShockwaveFlash1->isVisible());
    QCOMPARE(runningJobsOfLatestChoice(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 2, playerTimeoutMs);
    QCOMPARE(m_download->requests(path), 1);
    QCOMPARE(m_stream->requests(path), 1);
}

void TestCategoryFormBehaviour::arrowKeysChooseTitles()
{
    // Downloads fail here, so every choice streams.
    TCategoryForm *form = createWindow("Tchengyuform");
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    const QListWidget *list = form->ListBox1;

    clickTitle(form, 0);
    QCOMPARE(form->ShockwaveFlash1->movie(), address(m_stream->host(), "chengyugushi", list->item(0)->text()));
    clickBack(form);
    QVERIFY(list->isVisible());

    QTest::keyClick(form->ListBox1, Qt::Key_Down);
    QVERIFY(list->isHidden());
    QCOMPARE(list->currentRow(), 1);
    QCOMPARE(form->ShockwaveFlash1->movie(), address(m_stream->host(), "chengyugushi", list->item(1)->text()));

    clickBack(form);
    QTest::keyClick(form->ListBox1, Qt::Key_Up);
    QVERIFY(list->isHidden());
    QCOMPARE(form->ShockwaveFlash1->movie(), address(m_stream->host(), "chengyugushi", list->item(0)->text()));
}

void TestCategoryFormBehaviour::jobsReportToTheirOwnWindow()
{
    TCategoryForm *songs = createWindow("TergerForm");
    TCategoryForm *idioms = createWindow("Tchengyuform");
    const QString songTitle = songs->ListBox1->item(0)->text();
    const QString idiomTitle = idioms->ListBox1->item(0)->text();
    m_download->serve(serverPath("erger", songTitle), bigBody(), ContentServer::Answer::PauseHalf);
    m_download->serve(serverPath("chengyugushi", idiomTitle), bigBody());

    songs->ListBox1->setCurrentRow(0);
    QTRY_VERIFY_WITH_TIMEOUT(m_download->halfSent(), transferTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(midway(songs), transferTimeoutMs);
    QCOMPARE(songs->PB->value(), songs->DownloadProgress);

    idioms->ListBox1->setCurrentRow(0);
    QTRY_COMPARE_WITH_TIMEOUT(fileBytes(localFile("chengyugushi", idiomTitle)).size(), qsizetype(bigBody().size()),
                              transferTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(idioms->PB->isHidden(), transferTimeoutMs);
    QCOMPARE(idioms->DownloadProgress, 100);
    // The paused transfer's window saw none of it.
    QVERIFY(!songs->PB->isHidden());
    QVERIFY(midway(songs));
    QVERIFY(!QFile::exists(localFile("erger", songTitle)));

    m_download->release();
    QTRY_COMPARE_WITH_TIMEOUT(fileBytes(localFile("erger", songTitle)).size(), qsizetype(bigBody().size()),
                              transferTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(songs->PB->isHidden(), transferTimeoutMs);
    QCOMPARE(songs->DownloadProgress, 100);
}

void TestCategoryFormBehaviour::twoJobsInOneWindow()
{
    TCategoryForm *form = createWindow("TergerForm");
    const QString first = form->ListBox1->item(0)->text();
    const QString second = form->ListBox1->item(1)->text();
    m_download->serve(serverPath("erger", first), bigBody(), ContentServer::Answer::PauseHalf);
    m_download->serve(serverPath("erger", second), bigBody());

    form->ListBox1->setCurrentRow(0);
    QTRY_VERIFY_WITH_TIMEOUT(m_download->halfSent(), transferTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(midway(form), transferTimeoutMs);
    form->SpeedButton1Click();
    form->ListBox1->setCurrentRow(1);
    QCOMPARE(runningJobsOfLatestChoice(), 2);

    // The bar hides as soon as either transfer reaches 100 ...
    QTRY_VERIFY_WITH_TIMEOUT(form->PB->isHidden(), transferTimeoutMs);
    QVERIFY(QFile::exists(localFile("erger", second)));
    QVERIFY(!QFile::exists(localFile("erger", first)));

    // ... and stays hidden while the other one goes on.
    m_download->release();
    QTRY_COMPARE_WITH_TIMEOUT(runningJobsOfLatestChoice(), 0, transferTimeoutMs);
    QCoreApplication::sendPostedEvents(form);
    QVERIFY(form->PB->isHidden());
    QCOMPARE(form->DownloadProgress, 100);
    QCOMPARE(fileBytes(localFile("erger", first)).size(), qsizetype(bigBody().size()));
}

void TestCategoryFormBehaviour::backAndCloseWhileDownloading()
{
    TCategoryForm *form = createWindow("TergerForm");
    const QString first = form->ListBox1->item(0)->text();
    m_download->serve(serverPath("erger", first), bigBody(), ContentServer::Answer::PauseHalf);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    clickTitle(form, 0);
    QTRY_VERIFY_WITH_TIMEOUT(midway(form), transferTimeoutMs);

    clickBack(form);
    QVERIFY(form->ListBox1->isVisible());
    QVERIFY(form->PB->isVisible());
    clickBack(form);
    QVERIFY(form->isHidden());

    // The job goes on while the window is hidden, and the bar follows it there.
    m_download->release();
    QTRY_COMPARE_WITH_TIMEOUT(fileBytes(localFile("erger", first)).size(), qsizetype(bigBody().size()),
                              transferTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(form->PB->isHidden(), transferTimeoutMs);
    QCOMPARE(form->DownloadProgress, 100);

    // Shown again: the list as it was left.
    form->clearMask();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QVERIFY(form->ListBox1->isVisible());
    QCOMPARE(form->ListBox1->currentRow(), 0);
    QVERIFY(!form->mask().isEmpty());

    // Closed while the player shows a title: shown again, it still shows it.
    clickTitle(form, 0);
    const QString movie = form->ShockwaveFlash1->movie();
    QCOMPARE(movie, localFile("erger", first));
    form->close();
    QVERIFY(form->isHidden());
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QVERIFY(form->ShockwaveFlash1->isVisible());
    QVERIFY(form->ListBox1->isHidden());
    QCOMPARE(form->ShockwaveFlash1->movie(), movie);
}

void TestCategoryFormBehaviour::failedDownloadLeavesNoFile_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("refused");
    QTest::newRow("404") << int(ContentServer::Answer::NotFound) << false;
    QTest::newRow("server closes early") << int(ContentServer::Answer::CloseEarly) << false;
    QTest::newRow("connection refused") << int(ContentServer::Answer::Body) << true;
}

void TestCategoryFormBehaviour::failedDownloadLeavesNoFile()
{
    QFETCH(int, answer);
    QFETCH(bool, refused);
    if (refused)
        useHosts(m_stream->host(), "127.0.0.1:" + std::to_string(closedPort()));
    TCategoryForm *form = createWindow("TergerForm");
    const QString title = form->ListBox1->item(0)->text();
    m_download->serve(serverPath("erger", title), bigBody(), ContentServer::Answer(answer));
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));

    clickTitle(form, 0);
    QVERIFY(!form->PB->isHidden());
    QTRY_COMPARE_WITH_TIMEOUT(runningJobsOfLatestChoice(), 0, transferTimeoutMs);
    QCoreApplication::sendPostedEvents(form);

    QVERIFY(!QFile::exists(localFile("erger", title)));
    QCOMPARE(QDir(programDir() + QStringLiteral("erger")).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
             QStringList());
    QVERIFY(!form->PB->isHidden());
    QVERIFY(form->DownloadProgress < 100);
    QCOMPARE(form->PB->value(), clampToBar(form->DownloadProgress));

    // The next choice streams the title again and starts a new job.
    clickBack(form);
    clickTitle(form, 0);
    QCOMPARE(form->ShockwaveFlash1->movie(), address(m_stream->host(), "erger", title));
    QTRY_COMPARE_WITH_TIMEOUT(runningJobsOfLatestChoice(), 0, transferTimeoutMs);
    if (!refused)
        QCOMPARE(m_download->requests(serverPath("erger", title)), 2);
}

void TestCategoryFormBehaviour::titleLandsUnderExactName_data()
{
    QTest::addColumn<QByteArray>("windowClass");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("title");
    QTest::newRow("spaces, apostrophe") << QByteArray("TgwergerForm") << QStringLiteral("ywerger")
                                        << QStringLiteral("韵律诗the cock's on the housestop");
    QTest::newRow("space between Chinese") << QByteArray("TpinyinForm") << QStringLiteral("xpinyin")
                                           << QStringLiteral("小恐龙学拼音 第一课");
    QTest::newRow("typographic quotes") << QByteArray("TxyingyuForm") << QStringLiteral("xyingyu")
                                        << QStringLiteral("英语游戏“猫”跃倒钩");
    QTest::newRow("full stop inside") << QByteArray("TwanyouxiForm") << QStringLiteral("wanyx")
                                      << QStringLiteral("宠物连连看2.5版");
}

void TestCategoryFormBehaviour::titleLandsUnderExactName()
{
    QFETCH(QByteArray, windowClass);
    QFETCH(QString, folder);
    QFETCH(QString, title);
    const std::string body = bigBody();
    ScriptedServer server({ScriptedServer::reply("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size())
                                                 + "\r\nConnection: close\r\n\r\n" + body)});
    QVERIFY(server.listening());
    useHosts(m_stream->host(), server.authority());

    TCategoryForm *form = createWindow(windowClass);
    const QList<QListWidgetItem *> found = form->ListBox1->findItems(title, Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    form->ListBox1->setCurrentItem(found.first());

    const QString file = programDir() + folder + u'/' + title + QStringLiteral(".swf");
    QTRY_COMPARE_WITH_TIMEOUT(fileBytes(file).size(), qsizetype(body.size()), transferTimeoutMs);
    QCOMPARE(QDir(programDir() + folder).entryList(QDir::Files | QDir::Hidden), QStringList{title + QStringLiteral(".swf")});

    QVERIFY(server.waitForRequests(1, std::chrono::seconds(10)));
    const QByteArray target = requestTarget(server.requests().front());
    for (const char c : target)
        QVERIFY2(c > ' ' && static_cast<unsigned char>(c) < 0x7F, target.constData());
    QCOMPARE(QString::fromUtf8(QByteArray::fromPercentEncoding(target)), u'/' + folder + u'/' + title + QStringLiteral(".swf"));
}

void TestCategoryFormBehaviour::windowDestroyedWhileJobRuns()
{
    TCategoryForm *form = createWindow("TergerForm");
    const QString title = form->ListBox1->item(0)->text();
    m_download->serve(serverPath("erger", title), bigBody(), ContentServer::Answer::PauseHalf);
    form->ListBox1->setCurrentRow(0);
    QTRY_VERIFY_WITH_TIMEOUT(midway(form), transferTimeoutMs);

    // Reports made after this point reach nothing; the transfer still completes.
    delete form;
    m_download->release();
    QTRY_COMPARE_WITH_TIMEOUT(currentTransfer.formname.use_count(), 1L, transferTimeoutMs);
    QCoreApplication::processEvents();
    QCOMPARE(fileBytes(localFile("erger", title)).size(), qsizetype(bigBody().size()));
}

void TestCategoryFormBehaviour::restingPlayerGoesAndComesBack()
{
    constexpr std::chrono::milliseconds idle(200);
    PlayerRest::setIdleTimeForTesting(idle);
    TCategoryForm *songs = createWindow("TergerForm");
    TCategoryForm *idioms = createWindow("Tchengyuform");
    const QString song = songs->ListBox1->item(0)->text();
    const QString stalled = songs->ListBox1->item(1)->text();
    const QString idiom = idioms->ListBox1->item(0)->text();
    QVERIFY(writeBytes(localFile("erger", song), cardMovie()));
    QVERIFY(writeBytes(localFile("chengyugushi", idiom), cardMovie()));
    m_stream->serve(serverPath("erger", stalled), cardBytes(), ContentServer::Answer::PauseHalf);

    songs->show();
    QVERIFY(QTest::qWaitForWindowExposed(songs));
    QSignalSpy songLoaded(songs->ShockwaveFlash1, &ShockwaveFlash::movieLoaded);
    clickTitle(songs, 0);
    QTRY_COMPARE_WITH_TIMEOUT(songLoaded.count(), 1, playerTimeoutMs);
    QVERIFY(!processesUnderTest().empty());
    // A shown window keeps the player warm, also while the child reads its list.
    clickBack(songs);
    QTest::qWait(5 * idle.count());
    QVERIFY(PlayerEngine::exists());

    // Closed while a title still loads: once the launcher has rested, the player and its
    // renderer are gone.
    clickTitle(songs, 1);
    QTRY_VERIFY_WITH_TIMEOUT(m_stream->halfSent(), playerTimeoutMs);
    songs->close();
    QTRY_VERIFY_WITH_TIMEOUT(!PlayerEngine::exists(), playerTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(processesUnderTest().empty(), playerTimeoutMs);

    // The next window's first title plays in a player made afresh.
    idioms->show();
    QVERIFY(QTest::qWaitForWindowExposed(idioms));
    QSignalSpy idiomLoaded(idioms->ShockwaveFlash1, &ShockwaveFlash::movieLoaded);
    clickTitle(idioms, 0);
    QTRY_COMPARE_WITH_TIMEOUT(idiomLoaded.count(), 1, playerTimeoutMs);
    QVERIFY(PlayerEngine::exists());

    // The window closed while loading starts its title over when shown again.
    m_stream->release();
    songs->show();
    QVERIFY(QTest::qWaitForWindowExposed(songs));
    QTRY_COMPARE_WITH_TIMEOUT(songLoaded.count(), 2, playerTimeoutMs);
    QCOMPARE(songs->ShockwaveFlash1->movie(), address(m_stream->host(), "erger", stalled));
}

KIVORA_CATEGORY_TEST_MAIN(TestCategoryFormBehaviour)

#include "tst_categoryformbehaviour.moc"
