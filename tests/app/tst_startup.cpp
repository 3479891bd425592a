#include "tests/app/scratchprogramdirectory.h"
#include "tests/app/windowtestmain.h"

#include "category/TCategoryForm.h"
#include "app/Umain.h"
#include "app/startup.h"

#include "category/Xchangshi.h"
#include "category/chengyu.h"
#include "category/dbpingtu.h"
#include "category/erger.h"
#include "category/gushi.h"
#include "category/gwerger.h"
#include "category/htgushi.h"
#include "category/pinyin.h"
#include "category/wanyouxi.h"
#include "category/xyingyu.h"
#include "category/xyuwen.h"

#include <QChildEvent>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <functional>

using namespace kivora;

namespace {

struct CategoryWindow
{
    const char *windowClass;
    const char *instanceName;
    std::function<TCategoryForm *()> instance;
};

// Creation order; destruction runs the other way.
const std::vector<CategoryWindow> &categoryWindows()
{
    static const std::vector<CategoryWindow> windows = {
        {"TwanyouxiForm", "wanyouxiForm", [] { return wanyouxiForm; }},
        {"Tchengyuform", "chengyuform", [] { return chengyuform; }},
        {"Tdbpingtuform", "dbpingtuform", [] { return dbpingtuform; }},
        {"TergerForm", "ergerForm", [] { return ergerForm; }},
        {"TgushiForm", "gushiForm", [] { return gushiForm; }},
        {"TgwergerForm", "gwergerForm", [] { return gwergerForm; }},
        {"Thtgushiform", "htgushiform", [] { return htgushiform; }},
        {"TpinyinForm", "pinyinForm", [] { return pinyinForm; }},
        {"TXchangshiForm", "XchangshiForm", [] { return XchangshiForm; }},
        {"TxyingyuForm", "xyingyuForm", [] { return xyingyuForm; }},
        {"TxyuwenForm", "xyuwenForm", [] { return xyuwenForm; }},
    };
    return windows;
}

// What the program looked like each time a category window joined the launcher.
struct Creation
{
    QObject *window;
    bool leftOverPresent;
    bool launcherNative;
    bool launcherSet;
    bool anyWindowVisible;
};

class CreationRecorder : public QObject
{
public:
    explicit CreationRecorder(QString leftOver)
        : m_leftOver(std::move(leftOver))
    {
        qApp->installEventFilter(this);
    }
    ~CreationRecorder() override { qApp->removeEventFilter(this); }

    std::vector<Creation> creations;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::ChildAdded || !watched->isWidgetType())
            return false;
        QObject *child = static_cast<QChildEvent *>(event)->child();
        if (!child->isWidgetType() || !static_cast<QWidget *>(child)->isWindow())
            return false;
        auto *launcher = qobject_cast<TmainForm *>(watched);
        bool visible = false;
        for (QWidget *window : QApplication::topLevelWidgets())
            visible = visible || window->isVisible();
        creations.push_back({child, QFileInfo::exists(m_leftOver),
                             launcher && launcher->internalWinId() != 0,
                             launcher && launcher == mainForm, visible});
        return false;
    }

private:
    QString m_leftOver;
};

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void createsLauncherThenCategoriesInOrder();
    void instanceVariables_data();
    void instanceVariables();
    void categoryWindowsCentreOnVirtualDesktopOnce();
    void destroysLastCreatedFirst();
    void leftOverExecutableOnly_data();
    void leftOverExecutableOnly();
    void cleanupTestCase();

private:
    ScratchProgramDirectory m_directory;
    bool m_windowsCreated = false;
};

void TestStartup::createsLauncherThenCategoriesInOrder()
{
    QVERIFY(m_directory.isValid());
    QVERIFY(m_directory.layOutPictures());
    QVERIFY(m_directory.write(QStringLiteral("lumora0"), "previous executable"));

    CreationRecorder recorder(m_directory.filePath(QStringLiteral("lumora0")));
    createWindows();
    m_windowsCreated = true;

    QVERIFY(mainForm);
    QCOMPARE(recorder.creations.size(), categoryWindows().size());
    for (std::size_t i = 0; i < recorder.creations.size(); ++i) {
        const Creation &creation = recorder.creations[i];
        const CategoryWindow &expected = categoryWindows()[i];
        QVERIFY2(creation.window == expected.instance(), expected.instanceName);
        QVERIFY2(creation.launcherSet, "the launcher's instance variable is set before any category window");
        QVERIFY2(creation.launcherNative, "the launcher's native window exists before any category window");
        QVERIFY2(!creation.leftOverPresent, "the left-over executable is gone before any category window");
        QVERIFY2(!creation.anyWindowVisible, "nothing is shown during start-up");
    }
    for (QWidget *window : QApplication::topLevelWidgets())
        QVERIFY2(!window->isVisible(), qPrintable(window->objectName()));
}

void TestStartup::instanceVariables_data()
{
    QTest::addColumn<int>("index");
    for (std::size_t i = 0; i < categoryWindows().size(); ++i)
        QTest::newRow(categoryWindows()[i].instanceName) << int(i);
}

void TestStartup::instanceVariables()
{
    QFETCH(int, index);
    QVERIFY(m_windowsCreated);
    const CategoryWindow &expected = categoryWindows()[index];
    TCategoryForm *window = expected.instance();
    QVERIFY(window);
    QCOMPARE(window->windowClass(), expected.windowClass);
    QCOMPARE(window->objectName(), QString::fromLatin1(expected.instanceName));
    QCOMPARE(window->metaObject()->className(), (QByteArrayLiteral("kivora::") + expected.windowClass));

    // Owned by the launcher: a window of its own, always in front of the launcher, no frame.
    QCOMPARE(window->parentWidget(), static_cast<QWidget *>(mainForm));
    QVERIFY(window->isWindow());
    QVERIFY(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(window->size(), QSize(1200, 850));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QVERIFY(window->isHidden());
}

void TestStartup::categoryWindowsCentreOnVirtualDesktopOnce()
{
    QVERIFY(m_windowsCreated);
    const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
    const QPoint expected(std::max(desktop.left(), desktop.left() + desktop.width() / 2 - 600),
                          std::max(desktop.top(), desktop.top() + desktop.height() / 2 - 425));

    ergerForm->show();
    QVERIFY(QTest::qWaitForWindowExposed(ergerForm));
    QCOMPARE(ergerForm->pos(), expected);

    // Later showings leave the window where it is.
    ergerForm->hide();
    ergerForm->move(expected + QPoint(7, 9));
    ergerForm->show();
    QVERIFY(QTest::qWaitForWindowExposed(ergerForm));
    QCOMPARE(ergerForm->pos(), expected + QPoint(7, 9));
    ergerForm->hide();
}

void TestStartup::destroysLastCreatedFirst()
{
    QVERIFY(m_windowsCreated);
    QStringList destroyed;
    std::vector<QWidget *> windows{mainForm};
    for (const CategoryWindow &window : categoryWindows())
        windows.push_back(window.instance());
    for (QWidget *window : windows) {
        const QString name = window->objectName();
        connect(window, &QObject::destroyed, this, [&destroyed, name] { destroyed << name; });
    }

    destroyWindows();
    m_windowsCreated = false;

    QStringList expected;
    for (auto it = categoryWindows().rbegin(); it != categoryWindows().rend(); ++it)
        expected << QString::fromLatin1(it->instanceName);
    expected << QStringLiteral("mainForm");
    QCOMPARE(destroyed, expected);
}

void TestStartup::leftOverExecutableOnly_data()
{
    QTest::addColumn<QString>("present");   // what lies in the program directory
    QTest::addColumn<QString>("survivors"); // what must still be there afterwards

    QTest::newRow("left-over alone") << "f:lumora0" << "";
    QTest::newRow("left-over among neighbours")
        << "f:lumora0 f:lumora f:lumora00 f:lumora0.exe f:Lumora0 f:update/Nupdate.txt f:10.png d:erger"
        << "f:lumora f:lumora00 f:lumora0.exe f:Lumora0 d:update f:update/Nupdate.txt f:10.png d:erger";
    QTest::newRow("no left-over") << "f:lumora f:update/Nupdate.txt" << "f:lumora d:update f:update/Nupdate.txt";
    QTest::newRow("a folder of that name is not ours") << "d:lumora0 f:lumora0/inside" << "d:lumora0 f:lumora0/inside";
    QTest::newRow("a link goes, its target stays") << "f:target l:lumora0" << "f:target";
}

void TestStartup::leftOverExecutableOnly()
{
    QFETCH(QString, present);
    QFETCH(QString, survivors);

    ScratchProgramDirectory directory;
    QVERIFY(directory.isValid());
    QDir root(directory.path());
    for (const QString &entry : present.split(u' ', Qt::SkipEmptyParts)) {
        const QString name = entry.mid(2);
        if (entry.startsWith(u'd')) {
            QVERIFY(root.mkpath(name));
        } else if (entry.startsWith(u'l')) {
            QVERIFY(QFile::link(directory.filePath(QStringLiteral("target")), directory.filePath(name)));
        } else {
            QVERIFY(root.mkpath(QFileInfo(name).path()));
            QVERIFY(directory.write(name, "content of " + name.toUtf8()));
        }
    }

    {
        TmainForm launcher; // its construction ends with FormCreate
    }

    QStringList expected = survivors.split(u' ', Qt::SkipEmptyParts);
    QStringList found;
    QDirIterator it(directory.path(), QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString name = root.relativeFilePath(info.filePath());
        if (info.isDir()) {
            found << QStringLiteral("d:") + name;
            continue;
        }
        found << QStringLiteral("f:") + name;
        QFile file(info.filePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), "content of " + name.toUtf8());
    }
    found.sort();
    expected.sort();
    QCOMPARE(found, expected);
}

void TestStartup::cleanupTestCase()
{
    if (m_windowsCreated)
        destroyWindows();
}

KIVORA_WINDOW_TEST_MAIN(TestStartup)

#include "tst_startup.moc"
