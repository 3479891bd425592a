#include "category/TCategoryForm.h"

#include "platform/player/ShockwaveFlash.h"
#include "platform/ui/SpeedButton.h"
#include "catalog/TCategoryInfo.h"
#include "platform/ui/TImage.h"
#include "transfer/Utushuthread2.h"
#include "assets/assetpaths.h"
#include "catalog/contentaddress.h"
#include "category/currenttransfer.h"
#include "platform/core/detachablebindstatus.h"
#include "platform/ui/errorbox.h"
#include "platform/ui/picturefile.h"
#include "platform/ui/qtstrings.h"
#include "platform/core/programdirectory.h"
#include "category/progressrule.h"
#include "platform/ui/tasklistentry.h"
#include "platform/ui/windowshape.h"

#include <QFileInfo>
#include <QFrame>
#include <QListWidget>
#include <QProgressBar>
#include <QShowEvent>
#include <QTimer>

#include <stdexcept>

namespace kivora {

namespace {

std::string testStreamHost;
std::string testDownloadHost;
bool playerWarmUp = true;

// A link counts as the file it points to; a folder of that name is no file.
bool fileExists(const std::u16string &path)
{
    return QFileInfo(toQString(path)).isFile();
}

std::u16string programDirectoryText()
{
    return QString::fromStdString(programDirectory()).toStdU16String();
}

std::u16string stopPathText()
{
    return stopPath(QString::fromStdString(executablePath()).toStdU16String());
}

const TCategoryInfo &categoryOf(const char *windowClass)
{
    const TCategoryInfo *category = findCategory(windowClass);
    if (!category)
        throw std::logic_error(std::string("No category has the window class ") + windowClass);
    return *category;
}

// The list's font: "宋体" where it is installed, otherwise the nearest CJK face that
// fontconfig offers, so that every title keeps the look of the list.
QFont listFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"),
                      QStringLiteral("Noto Sans CJK SC")});
    font.setPixelSize(14);
    return font;
}

const QColor listBackground(Qt::black);
const QColor listText(0x00, 0xFF, 0x00);

// Black and lime for the list and all its parts, aqua on yellow for the bar. The list's
// scroll bar is named by its own type: it is styled while the list is still being made,
// before it is known to be inside a list.
QString ownColoursSheet()
{
    return QStringLiteral("QListWidget, QListWidget *, QScrollBar { background-color: %1; color: %2; border: none; }"
                          "QProgressBar { background-color: #ffff00; border: none; }"
                          "QProgressBar::chunk { background-color: #00ffff; }")
        .arg(listBackground.name(), listText.name());
}

} // namespace

TCategoryForm::TCategoryForm(const char *windowClass, const char *windowName, QWidget *owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint)
    , m_windowClass(windowClass)
    , m_category(&categoryOf(windowClass))
    , m_sink(std::make_shared<DetachableBindStatus>(this))
{
    setObjectName(QString::fromLatin1(windowName));
    setWindowTitle(QString::fromLatin1(windowName));
    setFixedSize(ClientWidth, ClientHeight);
    createControls();
    fillList();
    guarded([this] { FormCreate(); });
}

QStringList TCategoryForm::startUpPictures()
{
    return {programFile("ipadmain3.png"), programFile("1003.jpg")};
}

TCategoryForm::~TCategoryForm()
{
    // Waits for a report being handed over; queued ones die with this object.
    m_sink->detach();
}

void TCategoryForm::setPlayerWarmUpForTesting(bool enabled)
{
    playerWarmUp = enabled;
}

void TCategoryForm::setServerHostsForTesting(const std::string &streamHost, const std::string &downloadHost)
{
    testStreamHost = streamHost;
    testDownloadHost = downloadHost;
}

void TCategoryForm::createControls()
{
    Image1 = new TImage(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(rect());
    Image1->setBuiltInPicture(AssetPaths::categoryBackground());

    SpeedButton1 = new SpeedButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    // The theme gives SpeedButton1 its face without a minimum size: the button covers the
    // drawn one exactly.
    SpeedButton1->setGeometry(1109, 396, 65, 57);
    connect(SpeedButton1, &SpeedButton::clicked, this, [this] { guarded([this] { SpeedButton1Click(); }); });

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(1);
    Panel1->setGeometry(112, 80, 977, 681);
    // The list and the bar keep their own colours whatever the application's theme says. Set
    // here, before the panel's controls exist, each is styled once as it is made; a sheet of
    // their own, set afterwards, would restyle each control's parts again.
    Panel1->setStyleSheet(ownColoursSheet());

    // Children of the panel stack in creation order: picture, player, list, bar.
    Image2 = new TImage(Panel1);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setBuiltInPicture(AssetPaths::categoryPanel());

    ShockwaveFlash1 = new ShockwaveFlash(Panel1);
    ShockwaveFlash1->setObjectName(QStringLiteral("ShockwaveFlash1"));
    ShockwaveFlash1->setGeometry(25, 32, 424, 225);
    ShockwaveFlash1->hide();

    ListBox1 = new QListWidget(Panel1);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setFrameShape(QFrame::NoFrame);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setSortingEnabled(false);
    ListBox1->setUniformItemSizes(true);
    ListBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ListBox1->setFont(listFont());
    QPalette listColours = ListBox1->palette();
    listColours.setColor(QPalette::Base, listBackground);
    listColours.setColor(QPalette::Window, listBackground);
    listColours.setColor(QPalette::Text, listText);
    listColours.setColor(QPalette::WindowText, listText);
    ListBox1->setPalette(listColours);
    ListBox1->setBackgroundRole(QPalette::Base);
    ListBox1->setForegroundRole(QPalette::Text);
    const ListPlacement &placement = m_category->placement;
    if (placement.rightStrip) {
        const QRect client = Panel1->contentsRect();
        ListBox1->setGeometry(client.right() + 1 - placement.width, client.top(), placement.width, client.height());
    } else {
        ListBox1->setGeometry(placement.left, placement.top, placement.width, placement.height);
    }
    // Every change of the selection is a title choice, by mouse or by the arrow keys. A
    // click on the title that is still selected (the list as the back button left it)
    // chooses it again.
    connect(ListBox1, &QListWidget::itemSelectionChanged, this, [this] {
        if (!ListBox1->selectedItems().isEmpty())
            guarded([this] { ListBox1Click(); });
    });
    connect(ListBox1, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        if (!ListBox1->isHidden() && item->isSelected())
            guarded([this] { ListBox1Click(); });
    });
    ListBox1->setFocus();

    PB = new QProgressBar(Panel1);
    PB->setObjectName(QStringLiteral("PB"));
    PB->setGeometry(1, 664, 976, 17);
    PB->setRange(0, 100);
    PB->setValue(0);
    PB->setTextVisible(false);
    PB->hide();

    placeImage2();
}

void TCategoryForm::fillList()
{
    QStringList titles;
    titles.reserve(static_cast<qsizetype>(m_category->titles.size()));
    for (const std::u16string_view title : m_category->titles)
        titles.append(toQString(title));
    // In one insertion: the list lays itself out once rather than once per title.
    ListBox1->addItems(titles);
}

void TCategoryForm::placeImage2()
{
    const QRect client = Panel1->contentsRect();
    const ListPlacement &placement = m_category->placement;
    if (placement.rightStrip)
        Image2->setGeometry(client.left(), client.top(), client.width() - placement.width, client.height());
    else
        Image2->setGeometry(client);
}

void TCategoryForm::FormCreate()
{
    Image1->setPictureFile(PictureFile::read(programFile("ipadmain3.png")));
    Image1->setGeometry(rect());
    Image2->setPictureFile(PictureFile::read(programFile("1003.jpg")));
    placeImage2();
}

void TCategoryForm::FormShow()
{
    rgn = roundRectRegion(5, 4, 1195, 845, 80, 80);
    setMask(rgn);
    update();
}

void TCategoryForm::ListBox1Click()
{
    ListBox1->hide();
    for (int row = 0; row < ListBox1->count(); ++row) {
        const QListWidgetItem *item = ListBox1->item(row);
        if (!item->isSelected())
            continue;
        const std::u16string title = item->text().toStdU16String();
        currentTransfer.formname = m_sink;
        currentTransfer.SourceFile1 = streamingAddressOf(title);
        currentTransfer.SourceFile2 = downloadAddressOf(title);
        currentTransfer.DestFile1 = localPath(programDirectoryText(), m_category->folder, title);
        if (fileExists(currentTransfer.DestFile1)) {
            ShockwaveFlash1->show();
            ShockwaveFlash1->setAlignClient();
            ShockwaveFlash1->setMovie(toQString(currentTransfer.DestFile1));
            ShockwaveFlash1->repaint();
        } else {
            PB->show();
            ShockwaveFlash1->show();
            ShockwaveFlash1->setAlignClient();
            ShockwaveFlash1->setMovie(toQString(currentTransfer.SourceFile1));
            ShockwaveFlash1->repaint();
            tushuthread2::start(currentTransfer.SourceFile2, currentTransfer.DestFile1, currentTransfer.formname);
        }
    }
}

void TCategoryForm::SpeedButton1Click()
{
    if (!ShockwaveFlash1->isHidden()) {
        ShockwaveFlash1->setMovie(toQString(stopPathText()));
        ShockwaveFlash1->hide();
        ListBox1->show();
        ListBox1->setFocus();
    } else {
        close();
    }
}

std::u16string TCategoryForm::streamingAddressOf(std::u16string_view title) const
{
    if (!testStreamHost.empty())
        return contentAddress(testStreamHost, m_category->folder, title);
    return streamingAddress(m_category->folder, title);
}

std::u16string TCategoryForm::downloadAddressOf(std::u16string_view title) const
{
    if (!testDownloadHost.empty())
        return contentAddress(testDownloadHost, m_category->folder, title);
    return downloadAddress(m_category->folder, title);
}

void TCategoryForm::applyProgress(std::uint32_t ulProgress, std::uint32_t ulProgressMax, std::uint32_t ulStatusCode)
{
    DownloadProgress = nextDownloadProgress(DownloadProgress, ulProgress, ulProgressMax, ulStatusCode);
    // The bar ignores a value outside its range: clamp it as the control would.
    PB->setValue(clampToBar(DownloadProgress));
    if (PB->value() == 100)
        PB->hide();
}

HRESULT TCategoryForm::OnProgress(std::uint32_t ulProgress, std::uint32_t ulProgressMax, std::uint32_t ulStatusCode,
                                  const char16_t *)
{
    // Runs on the job's thread: hand the numbers over and touch nothing. Reports arrive
    // in the order they were made; one still queued when the window goes is dropped.
    QMetaObject::invokeMethod(
        this, [this, ulProgress, ulProgressMax, ulStatusCode] { applyProgress(ulProgress, ulProgressMax, ulStatusCode); },
        Qt::QueuedConnection);
    return E_NOTIMPL;
}

void TCategoryForm::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        if (!m_placed) {
            centreOnDesktop(this);
            m_placed = true;
        }
        keepOffTaskList(*this);
        // Bring the program's one player here and start it while the child reads the list:
        // the first title then starts in well under half the time. After this showing has
        // painted.
        if (playerWarmUp)
            QTimer::singleShot(0, ShockwaveFlash1, &ShockwaveFlash::prepare);
        guarded([this] { FormShow(); });
    }
    QWidget::showEvent(event);
}

} // namespace kivora
