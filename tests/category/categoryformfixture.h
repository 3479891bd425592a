#pragma once

#include "platform/player/ShockwaveFlash.h"
#include "platform/ui/SpeedButton.h"
#include "category/TCategoryForm.h"
#include "catalog/TCategoryInfo.h"
#include "category/currenttransfer.h"
#include "platform/core/programdirectory.h"
#include "platform/ui/theme.h"
#include "platform/player/playerrest.h"

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

#include "tests/category/contentserver.h"
#include "tests/support/scratchfolder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QObject>
#include <QPointer>
#include <QTest>

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

namespace kivora::test {

inline constexpr int playerTimeoutMs = 60000;
inline constexpr int transferTimeoutMs = 30000;

inline const QColor loadedBackground(0x20, 0x30, 0x40);
inline const QColor loadedPanel(0x80, 0x60, 0x40);
inline const QSize loadedPanelSize(900, 600); // differs from the built-in 996 x 682

inline QByteArray cardMovie()
{
    QFile file(QStringLiteral(KIVORA_PLAYER_TEST_DATA "/card.swf"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline std::string cardBytes()
{
    return cardMovie().toStdString();
}

inline QString text(std::u16string_view value)
{
    return QString(reinterpret_cast<const QChar *>(value.data()), static_cast<qsizetype>(value.size()));
}

template<typename Form>
TCategoryForm *make(QWidget *owner)
{
    return new Form(owner);
}

struct Design
{
    const char *windowClass;
    TCategoryForm *(*create)(QWidget *owner);
};

inline const Design designs[] = {
    {"TergerForm", &make<TergerForm>},         {"Tchengyuform", &make<Tchengyuform>},
    {"TwanyouxiForm", &make<TwanyouxiForm>},   {"Thtgushiform", &make<Thtgushiform>},
    {"TgushiForm", &make<TgushiForm>},         {"TpinyinForm", &make<TpinyinForm>},
    {"TXchangshiForm", &make<TXchangshiForm>}, {"Tdbpingtuform", &make<Tdbpingtuform>},
    {"TxyuwenForm", &make<TxyuwenForm>},       {"TxyingyuForm", &make<TxyingyuForm>},
    {"TgwergerForm", &make<TgwergerForm>},
};

// Each test starts from a program directory of its own, with every category's folder and
// both pictures, and a stream and a download server of its own; the windows it made, and
// the transfers they started, are gone before the next.
class CategoryFormFixture : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY(cardMovie().startsWith("FWS")); }

    void init()
    {
        m_programDir = std::make_unique<ScratchFolder>();
        QVERIFY(m_programDir->isValid());
        for (const TCategoryInfo &category : categories())
            QVERIFY(QDir(programDir()).mkpath(QString::fromLatin1(category.folder.data(), category.folder.size())));
        writePictures(true, true);
        setProgramDirectoryForTesting(m_programDir->path().string());

        m_stream = std::make_unique<ContentServer>();
        m_stream->setFallback(cardBytes());
        QVERIFY(m_stream->start());
        m_download = std::make_unique<ContentServer>();
        QVERIFY(m_download->start());
        useHosts(m_stream->host(), m_download->host());

        m_owner = std::make_unique<QWidget>();
    }

    void cleanup()
    {
        for (const QPointer<TCategoryForm> &window : std::as_const(m_windows))
            delete window.data();
        m_windows.clear();
        m_owner.reset();
        PlayerRest::setIdleTimeForTesting(std::chrono::minutes(1));
        // Let paused transfers end before their servers go.
        if (m_download)
            m_download->release();
        if (m_stream)
            m_stream->release();
        QTRY_VERIFY_WITH_TIMEOUT(currentTransfer.formname.use_count() <= 1, transferTimeoutMs);
        m_download.reset();
        m_stream.reset();
        currentTransfer = CurrentTransfer{};
        setProgramDirectoryForTesting(std::string());
        m_programDir.reset();
    }

protected:
    TCategoryForm *createWindow(const QByteArray &windowClass)
    {
        for (const Design &design : designs) {
            if (windowClass == design.windowClass) {
                TCategoryForm *form = design.create(m_owner.get());
                m_windows.append(form);
                return form;
            }
        }
        return nullptr;
    }
    QString programDir() const { return QFile::decodeName(m_programDir->path().c_str()) + u'/'; }
    QString localFile(const char *folder, const QString &title) const
    {
        return programDir() + QLatin1String(folder) + u'/' + title + QStringLiteral(".swf");
    }
    static QString address(const std::string &host, const char *folder, const QString &title)
    {
        return QStringLiteral("http://") + QString::fromStdString(host) + u'/' + QLatin1String(folder) + u'/'
               + title + QStringLiteral(".swf");
    }
    static std::string serverPath(const char *folder, const QString &title)
    {
        return (u'/' + QLatin1String(folder) + u'/' + title + QStringLiteral(".swf")).toStdString();
    }

    void writePictures(bool background, bool panel)
    {
        const QString backgroundPath = programDir() + QStringLiteral("ipadmain3.png");
        const QString panelPath = programDir() + QStringLiteral("1003.jpg");
        QFile::remove(backgroundPath);
        QFile::remove(panelPath);
        if (background) {
            QImage picture(TCategoryForm::ClientWidth, TCategoryForm::ClientHeight, QImage::Format_ARGB32);
            picture.fill(loadedBackground);
            QVERIFY(picture.save(backgroundPath, "PNG"));
        }
        if (panel) {
            QImage picture(loadedPanelSize, QImage::Format_RGB32);
            picture.fill(loadedPanel);
            QVERIFY(picture.save(panelPath, "JPG"));
        }
    }

    static void useHosts(const std::string &stream, const std::string &download)
    {
        TCategoryForm::setServerHostsForTesting(stream, download);
    }

    static void clickBack(TCategoryForm *form) { QTest::mouseClick(form->SpeedButton1, Qt::LeftButton); }

    static void clickTitle(TCategoryForm *form, int row)
    {
        QListWidget *list = form->ListBox1;
        list->scrollToItem(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    }

    std::unique_ptr<ScratchFolder> m_programDir;
    std::unique_ptr<ContentServer> m_stream;
    std::unique_ptr<ContentServer> m_download;
    std::unique_ptr<QWidget> m_owner;
    QList<QPointer<TCategoryForm>> m_windows;
};

} // namespace kivora::test

// The program's own start-up before any window exists, except that closing the last
// window does not end the test.
#define KIVORA_CATEGORY_TEST_MAIN(TestClass)                                                \
    int main(int argc, char **argv)                                                         \
    {                                                                                       \
        kivora::ShockwaveFlash::setUpProcess();                                             \
        QApplication app(argc, argv);                                                       \
        QApplication::setApplicationName(QStringLiteral("Kivora"));                         \
        app.setQuitOnLastWindowClosed(false);                                               \
        kivora::Theme::apply(app, QStringLiteral("Metropolis UI Green"));                   \
        TestClass test;                                                                     \
        return QTest::qExec(&test, argc, argv);                                             \
    }
