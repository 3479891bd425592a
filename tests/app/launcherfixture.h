#pragma once

#include "tests/support/modalanswerer.h"
#include "tests/app/scratchprogramdirectory.h"

#include "app/Umain.h"
#include "app/startup.h"
#include "platform/ui/TGauge.h"
#include "platform/ui/TImage.h"

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

#include <QEvent>
#include <QGuiApplication>
#include <QHash>
#include <QLabel>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QTest>

namespace kivora::test {

// Points in Panel1's coordinates, each over one site only.
inline const QPoint onSite[15] = {
    {}, {}, {},
    {150, 360}, {338, 430}, {503, 450}, {70, 250}, {148, 60}, {190, 170},
    {325, 130}, {573, 80}, {490, 175}, {590, 220}, {614, 320}, {391, 267},
};
inline const QPoint onScene(20, 20);        // the island, no site
inline const QPoint offPanel(-42, 244);     // the frame beside the screen: window (30, 300)

inline QWidget *categoryWindow(int hotSpot)
{
    switch (hotSpot) {
    case 3: return htgushiform;
    case 4: return xyuwenForm;
    case 6: return gushiForm;
    case 7: return ergerForm;
    case 8: return chengyuform;
    case 9: return pinyinForm;
    case 10: return gwergerForm;
    case 11: return XchangshiForm;
    case 12: return xyingyuForm;
    case 13: return wanyouxiForm;
    case 14: return dbpingtuform;
    default: return nullptr;
    }
}

// Records, in order, every highlight picture and the status label being shown or hidden:
// "+7" / "-7" for Image7, "+L" / "-L" for Label1.
class VisibilityLog : public QObject
{
public:
    void watch(QWidget *widget, const QString &name)
    {
        m_names.insert(widget, name);
        widget->installEventFilter(this);
    }
    QStringList entries;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            entries << u'+' + m_names.value(watched);
        else if (event->type() == QEvent::Hide)
            entries << u'-' + m_names.value(watched);
        return false;
    }

private:
    QHash<QObject *, QString> m_names;
};

// The launcher of the program's own start-up, shown once for the whole test program and
// put back at rest before each test: pointer parked on the frame, no button held, no
// highlight, label or category window showing, the gauge at its start.
class LauncherFixture : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_directory.isValid());
        QVERIFY(m_directory.layOutPictures());
        createWindows();
        mainForm->show();
        QVERIFY(QTest::qWaitForWindowExposed(mainForm));
        QCOMPARE(m_boxes.seen().size(), 0u);
        for (int number = 3; number <= 14; ++number)
            m_log.watch(mainForm->image(number), QString::number(number));
        m_log.watch(mainForm->Label1, QStringLiteral("L"));
    }

    void init()
    {
        QVERIFY(m_directory.copyPicture(QStringLiteral("10.png"), QStringLiteral("10.png")));
        // Release anything a failed row left pressed, then park the pointer on the frame.
        for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
            if (QGuiApplication::mouseButtons() & button)
                QTest::mouseRelease(mainForm, button, {}, inWindow(offPanel));
        }
        moveTo(offPanel);
        for (int number = 3; number <= 14; ++number) {
            if (QWidget *window = categoryWindow(number))
                window->hide();
            mainForm->image(number)->hide();
        }
        mainForm->Label1->hide();
        mainForm->Gauge1->setProgress(1);
        mainForm->activateWindow();
        m_log.entries.clear();
        m_boxes.clear();
    }

    void cleanupTestCase() { destroyWindows(); }

protected:
    QPoint inWindow(QPoint panelPoint) const { return mainForm->Panel1->mapTo(mainForm, panelPoint); }
    void moveTo(QPoint panelPoint) { QTest::mouseMove(mainForm, inWindow(panelPoint)); }
    QString pathOf10() const { return m_directory.filePath(QStringLiteral("10.png")); }

    ScratchProgramDirectory m_directory;
    ModalAnswerer m_boxes;
    VisibilityLog m_log;
};

} // namespace kivora::test
