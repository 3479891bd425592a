#include "tests/support/modalanswerer.h"
#include "tests/app/windowtestmain.h"

#include "platform/ui/errorbox.h"

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <functional>
#include <stdexcept>

using namespace kivora;

namespace {

using Thrower = std::function<void()>;

std::exception_ptr failureOf(const Thrower &thrower)
{
    try {
        thrower();
    } catch (...) {
        return std::current_exception();
    }
    return nullptr;
}

Thrower plain(const char *message)
{
    return [message] { throw std::runtime_error(message); };
}

// Raises `outer` while `inner` is being handled, so `outer` wraps it.
Thrower wrapping(const char *outer, Thrower inner)
{
    return [outer, inner] {
        try {
            inner();
        } catch (...) {
            std::throw_with_nested(std::runtime_error(outer));
        }
    };
}

} // namespace

Q_DECLARE_METATYPE(Thrower)

class TestErrorBox : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { m_boxes.clear(); }
    void text_data();
    void text();
    void handlerEndsWhereItFailedAndTheProgramGoesOn();
    void releasesPointerGrabAndRestoresFocus();

private:
    test::ModalAnswerer m_boxes;
};

void TestErrorBox::text_data()
{
    QTest::addColumn<Thrower>("thrower");
    QTest::addColumn<QString>("text");

    QTest::newRow("letter gets a full stop") << plain("Access denied") << "Access denied.";
    QTest::newRow("digit gets a full stop") << plain("Error 5") << "Error 5.";
    QTest::newRow("Chinese gets a full stop") << plain("无法打开文件") << "无法打开文件.";
    QTest::newRow("colon gets a full stop") << plain("Reason:") << "Reason:.";
    QTest::newRow("slash gets a full stop") << plain("/tmp/") << "/tmp/.";
    QTest::newRow("full stop stays single") << plain("Done.") << "Done.";
    QTest::newRow("exclamation mark") << plain("Stop!") << "Stop!";
    QTest::newRow("comma") << plain("one,") << "one,";
    QTest::newRow("hyphen") << plain("half-") << "half-";
    QTest::newRow("closing parenthesis") << plain("(code 2)") << "(code 2)";
    QTest::newRow("space") << plain("trailing ") << "trailing ";
    QTest::newRow("quote") << plain("\"quoted\"") << "\"quoted\"";
    QTest::newRow("empty") << plain("") << "";
    QTest::newRow("picture file")
        << plain("Cannot open file \"/opt/儿歌/10.png\". No such file or directory")
        << "Cannot open file \"/opt/儿歌/10.png\". No such file or directory.";
    QTest::newRow("nested: innermost") << wrapping("outer", plain("inner")) << "inner.";
    QTest::newRow("nested: inner empty") << wrapping("outer", plain("")) << "outer.";
    QTest::newRow("nested: middle empty") << wrapping("A", wrapping("", plain("C!"))) << "C!";
    QTest::newRow("nested: innermost and middle empty") << wrapping("A", wrapping("B", plain(""))) << "B.";
    QTest::newRow("nested: not an exception inside") << wrapping("outer", [] { throw 42; }) << "outer.";
    QTest::newRow("not an exception") << Thrower([] { throw 42; }) << "";
}

void TestErrorBox::text()
{
    QFETCH(Thrower, thrower);
    QFETCH(QString, text);
    const std::exception_ptr failure = failureOf(thrower);
    QVERIFY(failure);
    QCOMPARE(errorBoxText(failure), text);

    // The box shows exactly that text.
    guarded(thrower);
    QCOMPARE(m_boxes.seen().size(), 1u);
    QCOMPARE(m_boxes.seen().front().text, text);
}

void TestErrorBox::handlerEndsWhereItFailedAndTheProgramGoesOn()
{
    QStringList steps;
    guarded([&steps] {
        steps << QStringLiteral("before");
        throw std::runtime_error("Cannot go on");
        steps << QStringLiteral("after"); // never reached
    });
    steps << QStringLiteral("next");
    QCOMPARE(steps, (QStringList{"before", "next"}));

    QCOMPARE(m_boxes.seen().size(), 1u);
    const test::ModalAnswerer::Seen &box = m_boxes.seen().front();
    QCOMPARE(box.title, QStringLiteral("Kivora"));
    QCOMPARE(box.text, QStringLiteral("Cannot go on."));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(box.applicationModal);

    // A handler that does not fail shows nothing.
    guarded([] {});
    QCOMPARE(m_boxes.seen().size(), 1u);
}

void TestErrorBox::releasesPointerGrabAndRestoresFocus()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *first = new QLineEdit(&window);
    auto *second = new QLineEdit(&window);
    layout->addWidget(first);
    layout->addWidget(second);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    second->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(second));

    second->grabMouse();
    m_boxes.setOnShown([] {
        return QStringLiteral("grabber %1").arg(QWidget::mouseGrabber() ? "kept" : "released");
    });
    guarded([] { throw std::runtime_error("Broken"); });
    m_boxes.setOnShown({});

    QCOMPARE(m_boxes.seen().size(), 1u);
    QCOMPARE(m_boxes.seen().front().snapshot, QStringLiteral("grabber released"));
    QTRY_COMPARE(QApplication::activeWindow(), &window);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(second));
}

KIVORA_WINDOW_TEST_MAIN(TestErrorBox)

#include "tst_errorbox.moc"
