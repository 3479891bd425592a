#include "platform/ui/TGauge.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/TImage.h"
#include "app/Umain.h"
#include "platform/ui/errorbox.h"
#include "tests/support/modalanswerer.h"
#include "platform/core/programdirectory.h"
#include "tests/support/silentserver.h"
#include "tests/update/updatefixture.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPaintEvent>
#include <QTest>

namespace kivora {

using test::ModalAnswerer;

namespace {

const QString noUpdate = QStringLiteral("没有要更新的版本，您可咨询作者提供您的宝贵意见");
const QString question = QStringLiteral("发现有新版本，是否要进行更新?");
const QString warning = QStringLiteral("更新过程中请不要关闭软件，否则将打不开您的软件");
const QString succeeded = QStringLiteral("更新成功");
const QString failed = QStringLiteral("更新失败，软件没有改变");
const QString refused = QStringLiteral("更新文件未通过验证，软件没有改变");
const std::string oldLine = "http://127.0.0.1/erge/lumora-1";

} // namespace

class TestUpdateSite : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void noUpdateOrQuestion_data();
    void noUpdateOrQuestion();
    void refusedVersionFile_data();
    void refusedVersionFile();
    void unreachableUpdateServerEndsSilently();
    void windowStaysAliveWhileTheServerIsSilent();
    void lateAnswerGivesTheSameOutcome();
    void checkInAFolderWithAChineseName();
    void missingRecordReachesTheErrorBox();
    void completeUpdate();
    void failingUpdate_data();
    void failingUpdate();
    void gaugeValues_data();
    void gaugeValues();
    void leftOverPreviousExecutableRemovedAtCreation();

private:
    std::filesystem::path path(const std::string &name) const { return m_folder->path() / name; }
    std::string record() const { return test::readFile(path("update/Nupdate.txt")); }
    // The version file naming `line`, signed with the digest of what the server's `route` serves.
    std::string versionFileFor(const std::string &line, const std::string &route = "/new") const
    {
        return test::signedVersionFile(line, m_server->body(route));
    }
    // Clicks the update site and waits for the check's network steps and what follows them.
    void click()
    {
        guarded([this] { m_form->SpeedButton5Click(); });
        QTRY_VERIFY_WITH_TIMEOUT(!m_form->updateCheckUnderWay(), 60000);
    }
    void expectUntouched()
    {
        QCOMPARE(record(), oldLine + "\r\n");
        QCOMPARE(test::runProgram(path("lumora")), std::string("old\n"));
        QVERIFY(!std::filesystem::exists(path("lumora0")));
        QVERIFY(!std::filesystem::exists(path("update/Nupdate.pending")));
    }

    std::unique_ptr<test::ScratchFolder> m_folder;
    std::unique_ptr<test::UpdateServer> m_server;
    std::unique_ptr<TmainForm> m_form;
    std::unique_ptr<ModalAnswerer> m_answerer;
};

void TestUpdateSite::init()
{
    if (!test::canSignUpdates())
        QSKIP("this build has the publisher's update key");
    m_folder = std::make_unique<test::ScratchFolder>();
    test::writeFile(path("lumora"), test::scriptPrinting("old"), 0755);
    test::writeFile(path("update/Nupdate.txt"), oldLine + "\r\n");
    setProgramDirectoryForTesting(m_folder->path().string() + "/");
    m_server = std::make_unique<test::UpdateServer>(test::programPrinting("new", 300 * 1024));
    QVERIFY(m_server->started());
    m_form = std::make_unique<TmainForm>();
    m_form->setUpdateAddressForTesting(m_server->url16("/erge/update.txt"));
    m_answerer = std::make_unique<ModalAnswerer>();
}

void TestUpdateSite::cleanup()
{
    m_answerer.reset();
    m_form.reset();
    m_server.reset();
    setProgramDirectoryForTesting({});
    m_folder.reset();
}

void TestUpdateSite::noUpdateOrQuestion_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QByteArray>("versionLines"); // what the signed file holds before its digest
    QTest::addColumn<bool>("asked");
    const QByteArray line = QByteArray::fromStdString(oldLine);
    QTest::newRow("equal") << line + "\r\n" << line + "\r\n" << false;
    QTest::newRow("record without a break") << line << line + "\r\n" << false;
    QTest::newRow("only the first line counts") << line + "\r\n" << line + "\r\nhttp://other\r\n" << false;
    QTest::newRow("letter case") << line + "\r\n" << line.toUpper() + "\r\n" << true;
    QTest::newRow("trailing space") << line + "\r\n" << line + " \r\n" << true;
    QTest::newRow("record with a byte-order mark") << "\xEF\xBB\xBF" + line + "\r\n" << line + "\r\n" << true;
    QTest::newRow("empty version line") << line + "\r\n" << QByteArray("\r\n") << true;
    QTest::newRow("both empty") << QByteArray() << QByteArray("\r\n") << false;
}

// Equal lines give the no-update notice; different ones the question, and Cancel
// touches nothing.
void TestUpdateSite::noUpdateOrQuestion()
{
    QFETCH(QByteArray, record);
    QFETCH(QByteArray, versionLines);
    QFETCH(bool, asked);
    test::writeFile(path("update/Nupdate.txt"), record.toStdString());
    const std::string versionFile =
        test::signVersionFile(versionLines.toStdString() + "sha256=" + test::sha256Hex(m_server->newExecutable()) + "\r\n");
    m_server->setVersionFile(versionFile);
    m_answerer->setAnswers({QMessageBox::Cancel});

    click();

    QCOMPARE(m_answerer->texts(), QStringList{asked ? question : noUpdate});
    const ModalAnswerer::Seen &box = m_answerer->seen().front();
    QCOMPARE(box.owner, m_form.get());
    if (asked) {
        QCOMPARE(box.title, QStringLiteral("系统提示"));
        QCOMPARE(box.buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(box.icon, QMessageBox::Information);
    } else {
        QCOMPARE(box.title, QStringLiteral("Kivora"));
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
    QCOMPARE(record, QByteArray::fromStdString(this->record()));
    QCOMPARE(test::readFile(path("update/update.txt")), versionFile);
    QCOMPARE(test::runProgram(path("lumora")), std::string("old\n"));
    QVERIFY(!std::filesystem::exists(path("lumora0")));
    QVERIFY(!m_form->Label1->isVisible());
    QCOMPARE(m_form->Gauge1->progress(), 1);
}

void TestUpdateSite::refusedVersionFile_data()
{
    QTest::addColumn<QString>("fault");
    for (const char *fault : {"unsigned", "another key", "one byte of the address changed", "no digest in the signed part",
                              "unsigned, and the version in use"})
        QTest::newRow(fault) << QString::fromLatin1(fault);
}

// A version file that does not verify is a failed check: one notice, no question, nothing
// fetched, and only the version file's copy written.
void TestUpdateSite::refusedVersionFile()
{
    QFETCH(QString, fault);
    const std::string newLine = m_server->url("/new");
    const std::string digestLine = "sha256=" + test::sha256Hex(m_server->newExecutable()) + "\r\n";
    std::string versionFile;
    if (fault == "unsigned") {
        versionFile = newLine + "\r\n" + digestLine;
    } else if (fault == "another key") {
        versionFile = test::signVersionFile(newLine + "\r\n" + digestLine, test::anotherUpdateKey().get());
    } else if (fault == "one byte of the address changed") {
        versionFile = versionFileFor(newLine);
        versionFile[versionFile.find("/new")] = '_';
    } else if (fault == "no digest in the signed part") {
        versionFile = test::signVersionFile(newLine + "\r\n");
    } else {
        // Not even "no update" is taken from a file that does not verify.
        versionFile = oldLine + "\r\n";
    }
    m_server->setVersionFile(versionFile);
    m_answerer->setAnswers({QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok});

    click();
    QCOMPARE(m_answerer->texts(), QStringList{refused});
    QCOMPARE(m_answerer->seen().front().title, QStringLiteral("Kivora"));
    QCOMPARE(test::readFile(path("update/update.txt")), versionFile);
    expectUntouched();
    QCOMPARE(m_folder->entries(), (std::set<std::string>{"lumora", "update"}));
    QCOMPARE(m_server->fetches(), 0);
    QVERIFY(!m_form->Label1->isVisible());
}

void TestUpdateSite::unreachableUpdateServerEndsSilently()
{
    for (const std::string &address : {"http://127.0.0.1:" + std::to_string(test::closedPort()) + "/erge/update.txt",
                                       m_server->url("/status/404")}) {
        m_form->setUpdateAddressForTesting(std::u16string(address.begin(), address.end()));
        click();
        QVERIFY(m_answerer->seen().empty());
        QVERIFY(!std::filesystem::exists(path("update/update.txt")));
        expectUntouched();
    }
}

namespace {

class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

// A server that takes the connection and never answers holds the check for seconds; the
// launcher meanwhile follows the pointer and repaints, and a second click starts nothing.
void TestUpdateSite::windowStaysAliveWhileTheServerIsSilent()
{
    test::SilentServer silent;
    const std::string address = "http://127.0.0.1:" + std::to_string(silent.port()) + "/erge/update.txt";
    m_form->setUpdateAddressForTesting(std::u16string(address.begin(), address.end()));
    // Shown, the launcher loads the update site's picture from the program directory.
    QImage picture(94, 86, QImage::Format_ARGB32);
    picture.fill(Qt::white);
    QVERIFY(picture.save(QString::fromStdString(path("10.png").string())));
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));

    guarded([this] { m_form->SpeedButton5Click(); });
    QVERIFY(m_form->updateCheckUnderWay());
    QTRY_COMPARE(silent.connectionsTaken(), 1);

    SpeedButton *site = m_form->hotSpot(3);
    QTest::mouseMove(site, site->rect().center());
    QTRY_VERIFY(m_form->image(3)->isVisible());
    PaintCounter counter;
    m_form->Image2->installEventFilter(&counter);
    m_form->Image2->update();
    QTRY_VERIFY(counter.paints > 0);

    guarded([this] { m_form->SpeedButton5Click(); });
    QTest::qWait(300);
    QCOMPARE(silent.connectionsTaken(), 1);
    QCOMPARE(m_answerer->texts(), QStringList());
    QVERIFY(m_form->updateCheckUnderWay());
    // The form goes while the check still waits: its outcome must reach nothing.
    m_form.reset();
}

void TestUpdateSite::lateAnswerGivesTheSameOutcome()
{
    m_server->answerLate();
    m_server->setVersionFile(versionFileFor(m_server->url("/new")));
    m_answerer->setAnswers({QMessageBox::Cancel});
    click();
    QCOMPARE(m_answerer->texts(), QStringList{question});
    expectUntouched();

    m_server->setVersionFile(versionFileFor(oldLine));
    click();
    QCOMPARE(m_answerer->texts().back(), noUpdate);
}

// The version file's copy is written under the program directory's own name, whatever
// its characters.
void TestUpdateSite::checkInAFolderWithAChineseName()
{
    const std::filesystem::path folder = m_folder->path() / std::filesystem::u8path("儿歌");
    test::writeFile(folder / "update/Nupdate.txt", oldLine + "\r\n");
    setProgramDirectoryForTesting(folder.string() + "/");
    m_server->setVersionFile(versionFileFor(m_server->url("/new")));
    m_answerer->setAnswers({QMessageBox::Cancel});
    click();
    QCOMPARE(m_answerer->texts(), QStringList{question});
    QVERIFY(std::filesystem::exists(folder / "update/update.txt"));
}

void TestUpdateSite::missingRecordReachesTheErrorBox()
{
    std::filesystem::remove(path("update/Nupdate.txt"));
    m_server->setVersionFile("http://new\r\n");
    click();
    QCOMPARE(m_answerer->seen().size(), std::size_t(1));
    QCOMPARE(m_answerer->seen().front().icon, QMessageBox::Critical);
    QVERIFY(m_answerer->seen().front().text.contains(QStringLiteral("No such file or directory")));
    QVERIFY(!std::filesystem::exists(path("update/update.txt")));

    std::filesystem::remove_all(path("update"));
    click();
    QCOMPARE(m_answerer->seen().size(), std::size_t(2));
    QCOMPARE(m_answerer->seen().back().icon, QMessageBox::Critical);
}

void TestUpdateSite::completeUpdate()
{
    const std::string newLine = m_server->url("/new");
    m_server->setVersionFile(versionFileFor(newLine));
    m_answerer->setAnswers({QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok});
    m_form->image(3)->show();

    click();
    QCOMPARE(m_answerer->texts().mid(0, 2), (QStringList{question, warning}));
    QCOMPARE(m_form->Label1->text(), QStringLiteral("更新中，下次进入讲使用新版本"));

    QTRY_COMPARE_WITH_TIMEOUT(m_answerer->texts().size(), 3, 60000);
    QCOMPARE(m_answerer->texts().back(), succeeded);
    QCOMPARE(record(), newLine + "\r\n");
    QCOMPARE(test::runProgram(path("lumora")), std::string("new\n"));
    QCOMPARE(test::runProgram(path("lumora0")), std::string("old\n"));
    QVERIFY((std::filesystem::status(path("lumora")).permissions() & std::filesystem::perms::others_exec)
            != std::filesystem::perms::none);
    QVERIFY(m_form->Gauge1->isHidden());
    QVERIFY(m_form->Label1->isHidden());
    QVERIFY(m_form->image(3)->isHidden());
    QCOMPARE(m_form->Gauge1->progress(), 1);

    // The next check finds nothing new.
    click();
    QCOMPARE(m_answerer->texts().back(), noUpdate);
}

void TestUpdateSite::failingUpdate_data()
{
    QTest::addColumn<QString>("executable");
    QTest::addColumn<bool>("wrongDigest");
    QTest::newRow("not found") << "/status/404" << false;
    QTest::newRow("cut short") << "/short" << false;
    QTest::newRow("unreachable host") << "" << false;
    QTest::newRow("digest mismatch") << "/new" << true;
    QTest::newRow("another architecture") << "/foreign" << false;
}

void TestUpdateSite::failingUpdate()
{
    QFETCH(QString, executable);
    QFETCH(bool, wrongDigest);
    const std::string newLine = executable.isEmpty()
        ? "http://127.0.0.1:" + std::to_string(test::closedPort()) + "/new"
        : m_server->url(executable.toStdString());
    m_server->setVersionFile(wrongDigest ? test::signVersionFile(newLine + "\r\nsha256=" + std::string(64, '0') + "\r\n")
                                         : versionFileFor(newLine, executable.toStdString()));
    m_answerer->setAnswers({QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok});

    click();
    QTRY_COMPARE_WITH_TIMEOUT(m_answerer->texts().size(), 3, 60000);
    QCOMPARE(m_answerer->texts(), (QStringList{question, warning, failed}));
    expectUntouched();
    QVERIFY(m_form->Gauge1->isHidden());
    QVERIFY(m_form->Label1->isHidden());
    QCOMPARE(m_form->Gauge1->progress(), 1);

    // Nothing was recorded, so the next check offers the update again.
    m_answerer->setAnswers({QMessageBox::Cancel});
    click();
    QCOMPARE(m_answerer->texts().back(), question);
}

void TestUpdateSite::gaugeValues_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("progress");
    QTest::addColumn<bool>("finished");
    QTest::newRow("0") << 0 << 1 << false;
    QTest::newRow("-5") << -5 << 1 << false;
    QTest::newRow("-1 with no update under way") << -1 << 1 << false;
    QTest::newRow("99") << 99 << 99 << false;
    QTest::newRow("100") << 100 << 1 << true;
    QTest::newRow("150") << 150 << 1 << true;
}

void TestUpdateSite::gaugeValues()
{
    QFETCH(int, value);
    QFETCH(int, progress);
    QFETCH(bool, finished);
    m_form->Label1->show();
    m_form->image(3)->show();
    guarded([this, value] { m_form->dowm_downprogres(value); });
    QCOMPARE(m_form->Gauge1->progress(), progress);
    QCOMPARE(m_form->Gauge1->isHidden(), finished);
    QCOMPARE(m_form->Label1->isHidden(), finished);
    QCOMPARE(m_form->image(3)->isHidden(), finished);
    QCOMPARE(m_answerer->texts(), finished ? QStringList{succeeded} : QStringList{});
    expectUntouched();
}

void TestUpdateSite::leftOverPreviousExecutableRemovedAtCreation()
{
    m_form.reset();
    test::writeFile(path("lumora0"), test::scriptPrinting("older"), 0755);
    m_form = std::make_unique<TmainForm>();
    QVERIFY(!std::filesystem::exists(path("lumora0")));
    QCOMPARE(test::runProgram(path("lumora")), std::string("old\n"));
}

} // namespace kivora

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kivora"));
    kivora::TestUpdateSite test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_updatesite.moc"
