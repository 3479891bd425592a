#include "app/Umain.h"

#include "platform/ui/SpeedButton.h"
#include "platform/ui/TGauge.h"
#include "platform/ui/TImage.h"
#include "catalog/contentaddress.h"
#include "platform/ui/errorbox.h"
#include "platform/ui/picturefile.h"
#include "platform/ui/qtstrings.h"
#include "platform/core/programdirectory.h"
#include "update/startupcleanup.h"
#include "platform/ui/windowshape.h"

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

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QShowEvent>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace kivora {

TmainForm *mainForm = nullptr;

namespace {

struct HotSpotDesign
{
    int number;
    QRect button;
    QRect picture; // only the position counts: the picture sizes the control
};

// Rectangles in Panel1's coordinates. A hot-spot and its picture do not always coincide.
constexpr HotSpotDesign hotSpotDesigns[] = {
    {3, {88, 296, 105, 115}, {88, 296, 105, 115}},
    {4, {289, 390, 98, 91}, {289, 390, 98, 86}},
    {5, {456, 408, 94, 86}, {456, 408, 94, 86}},
    {6, {32, 210, 93, 96}, {32, 210, 93, 96}},
    {7, {96, 8, 104, 104}, {96, 8, 104, 104}},
    {8, {147, 118, 88, 102}, {147, 118, 88, 102}},
    {9, {272, 88, 106, 89}, {272, 88, 106, 89}},
    {10, {520, 32, 107, 108}, {520, 32, 107, 108}},
    {11, {435, 131, 106, 89}, {435, 131, 106, 89}},
    {12, {547, 176, 86, 90}, {546, 177, 83, 90}},
    {13, {561, 272, 106, 102}, {561, 278, 105, 96}},
    {14, {336, 216, 110, 102}, {336, 210, 110, 108}},
};

class DownProgressEvent : public QEvent
{
public:
    static QEvent::Type type()
    {
        static const auto registered = static_cast<QEvent::Type>(QEvent::registerEventType());
        return registered;
    }
    explicit DownProgressEvent(std::intptr_t percent)
        : QEvent(type())
        , m_percent(percent)
    {
    }
    std::intptr_t percent() const { return m_percent; }

private:
    std::intptr_t m_percent;
};

QString framePicture()
{
    return QStringLiteral(":/pictures/frame.png");
}

QString scenePicture()
{
    return QStringLiteral(":/pictures/scene.jpg");
}

const QString updateFailedNotice = QStringLiteral("更新失败，软件没有改变");

void showCategory(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

TmainForm::TmainForm(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_update(
          *this, [this](std::function<void()> call) { QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection); },
          [](const std::function<void()> &step) { guarded(step); }, updateAddress())
{
    setObjectName(QStringLiteral("mainForm"));
    setWindowTitle(QStringLiteral("mainForm"));
    setFixedSize(ClientWidth, ClientHeight);
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPixelSize(11);
    setFont(tahoma);
    createControls();

    // Messages from jobs arrive as posted events, so they are handled on this thread in
    // the order they were posted, and none can arrive once the window is gone.
    m_handle = WindowMessages::attach([this](unsigned message, std::uintptr_t, std::intptr_t lParam) {
        if (message == wm_downprogres)
            QCoreApplication::postEvent(this, new DownProgressEvent(lParam));
    });
    winId();
    guarded([this] { FormCreate(); });
}

QStringList TmainForm::startUpPictures()
{
    // "10.png" is not among them: each showing loads it before the launcher is mapped.
    return {framePicture(), scenePicture()};
}

TmainForm::~TmainForm()
{
    WindowMessages::detach(m_handle);
}

void TmainForm::createControls()
{
    Image1 = new TImage(this);
    Image1->setGeometry(0, 0, ClientWidth, ClientHeight);
    // Decoded for the first paint, on another thread, while the launcher is being mapped
    // (see prepareFirstPaint).
    Image1->setBuiltInPicture(framePicture());

    SpeedButton1 = new SpeedButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setGeometry(783, 294, 44, 41);
    connect(SpeedButton1, &SpeedButton::clicked, this, [this] { guarded([this] { SpeedButton1Click(); }); });

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(1);
    Panel1->setGeometry(72, 56, 704, 515);

    Image2 = new TImage(Panel1);
    Image2->setGeometry(1, 1, 702, 513);
    Image2->setBuiltInPicture(scenePicture());

    for (const HotSpotDesign &design : hotSpotDesigns) {
        auto *picture = new TImage(Panel1);
        picture->setObjectName(QStringLiteral("Image%1").arg(design.number));
        picture->setGeometry(design.picture);
        picture->setAutoSize(true);
        if (design.number != 5)
            picture->setBuiltInPicture(QStringLiteral(":/pictures/highlight%1.png").arg(design.number));
        picture->hide();
        m_images[design.number] = picture;
    }

    using ClickHandler = void (TmainForm::*)();
    static constexpr ClickHandler clickHandlers[] = {
        nullptr, nullptr, nullptr,
        &TmainForm::SpeedButton3Click, &TmainForm::SpeedButton4Click, &TmainForm::SpeedButton5Click,
        &TmainForm::SpeedButton6Click, &TmainForm::SpeedButton7Click, &TmainForm::SpeedButton8Click,
        &TmainForm::SpeedButton9Click, &TmainForm::SpeedButton10Click, &TmainForm::SpeedButton11Click,
        &TmainForm::SpeedButton12Click, &TmainForm::SpeedButton13Click, &TmainForm::SpeedButton14Click,
    };
    for (const HotSpotDesign &design : hotSpotDesigns) {
        const int number = design.number;
        auto *button = new SpeedButton(Panel1);
        button->setObjectName(QStringLiteral("SpeedButton%1").arg(number));
        button->setFlat(true);
        button->setGeometry(design.button);
        const ClickHandler click = clickHandlers[number];
        connect(button, &SpeedButton::clicked, this, [this, click] { guarded([this, click] { (this->*click)(); }); });
        if (number == 5) {
            connect(button, &SpeedButton::mouseMoved, this, [this] { guarded([this] { SpeedButton5MouseMove(); }); });
            connect(button, &SpeedButton::mouseLeft, this, [this] { guarded([this] { SpeedButton5MouseLeave(); }); });
        } else {
            connect(button, &SpeedButton::mouseMoved, this, [this, number] { hotSpotMouseMove(number); });
            connect(button, &SpeedButton::mouseLeft, this, [this, number] { hotSpotMouseLeave(number); });
        }
        m_hotSpots[number] = button;
    }

    Label1 = new QLabel(Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(561, 488, 120, 13);
    Label1->hide();
    // Inside the panel the theme's sheet would hand the toolkit's default font down; the
    // label and the gauge's text use the window's font.
    Label1->setFont(font());

    Gauge1 = new TGauge(Panel1);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setGeometry(0, 500, 705, 16);
    Gauge1->setFont(font());
}

void TmainForm::FormCreate()
{
    startUpCleanUp(programDirectory());
}

void TmainForm::FormShow()
{
    // A new region on every showing: the strips along the left and top edges and the
    // corners let the pointer through to whatever lies beneath.
    setMask(roundRectRegion(5, 5, ClientWidth, ClientHeight, 80, 90));
    repaint();
    loadUpdatePicture();
}

void TmainForm::loadUpdatePicture()
{
    m_images[5]->setPicture(loadPictureFile(programFile("10.png")));
}

void TmainForm::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        guarded([this] { FormShow(); });
        if (!m_placed) {
            centreOnDesktop(this);
            m_placed = true;
        }
    }
    QWidget::showEvent(event);
}

void TmainForm::paintEvent(QPaintEvent *event)
{
    // The icon comes once the launcher has first been drawn: decoding it and handing it to
    // the window system would hold that drawing back. Every window of the program shows it;
    // the launcher carries it on the task list.
    if (!m_iconGiven) {
        m_iconGiven = true;
        QTimer::singleShot(0, this, [this] {
            const QIcon icon(QStringLiteral(":/icons/kivora-256.png"));
            QApplication::setWindowIcon(icon);
            setWindowIcon(icon);
        });
    }
    QWidget::paintEvent(event);
}

void TmainForm::closeEvent(QCloseEvent *event)
{
    // The launcher is the main window: closing it ends the program, open category windows
    // included. exit() rather than quit(): quit() first asks every window to close and
    // gives up when one does not, which would leave the program running without its launcher.
    event->accept();
    QCoreApplication::exit(0);
}

void TmainForm::customEvent(QEvent *event)
{
    if (event->type() == DownProgressEvent::type())
        guarded([this, event] { dowm_downprogres(static_cast<DownProgressEvent *>(event)->percent()); });
}

void TmainForm::dowm_downprogres(std::intptr_t percent)
{
    m_update.jobReport(percent);
}

void TmainForm::showProgress(std::intptr_t percent)
{
    Gauge1->setProgress(static_cast<int>(std::clamp<std::intptr_t>(percent, TGauge::MinValue, TGauge::MaxValue)));
}

void TmainForm::hideUpdateControls()
{
    Gauge1->hide();
    Label1->hide();
    Gauge1->setProgress(0);
}

void TmainForm::showUpdateSaved(bool succeeded)
{
    m_images[3]->hide();
    hideUpdateControls();
    if (succeeded)
        showNotice(QStringLiteral("更新成功"));
}

void TmainForm::showUpdateFailed()
{
    hideUpdateControls();
    showNotice(updateFailedNotice);
}

void TmainForm::showUpdateRefused()
{
    showNotice(QStringLiteral("更新文件未通过验证，软件没有改变"));
}

void TmainForm::showNoUpdate()
{
    showNotice(QStringLiteral("没有要更新的版本，您可咨询作者提供您的宝贵意见"));
}

bool TmainForm::askToUpdate()
{
    QMessageBox question(QMessageBox::Information, QStringLiteral("系统提示"), QStringLiteral("发现有新版本，是否要进行更新?"),
                         QMessageBox::Ok | QMessageBox::Cancel, this);
    return question.exec() == QMessageBox::Ok;
}

void TmainForm::showUpdateBegun()
{
    Gauge1->show();
    Label1->setText(QStringLiteral("更新中，下次进入讲使用新版本"));
    Label1->adjustSize();
    Label1->show();
    showNotice(QStringLiteral("更新过程中请不要关闭软件，否则将打不开您的软件"));
}

void TmainForm::showNotice(const QString &text)
{
    QMessageBox notice(QMessageBox::NoIcon, QCoreApplication::applicationName(), text, QMessageBox::Ok, this);
    notice.exec();
}

void TmainForm::hotSpotMouseMove(int number)
{
    m_images[number]->show();
}

void TmainForm::hotSpotMouseLeave(int number)
{
    m_images[number]->hide();
}

void TmainForm::SpeedButton5MouseMove()
{
    m_images[5]->show();
    loadUpdatePicture();
}

void TmainForm::SpeedButton5MouseLeave()
{
    m_images[5]->hide();
    Label1->hide();
}

void TmainForm::SpeedButton1Click() { close(); }
void TmainForm::SpeedButton3Click() { showCategory(htgushiform); }
void TmainForm::SpeedButton4Click() { showCategory(xyuwenForm); }
void TmainForm::SpeedButton5Click() { m_update.check(handle()); }
void TmainForm::SpeedButton6Click() { showCategory(gushiForm); }
void TmainForm::SpeedButton7Click() { showCategory(ergerForm); }
void TmainForm::SpeedButton8Click() { showCategory(chengyuform); }
void TmainForm::SpeedButton9Click() { showCategory(pinyinForm); }
void TmainForm::SpeedButton10Click() { showCategory(gwergerForm); }
void TmainForm::SpeedButton11Click() { showCategory(XchangshiForm); }
void TmainForm::SpeedButton12Click() { showCategory(xyingyuForm); }
void TmainForm::SpeedButton13Click() { showCategory(wanyouxiForm); }
void TmainForm::SpeedButton14Click() { showCategory(dbpingtuform); }

} // namespace kivora
