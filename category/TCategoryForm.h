#pragma once

#include "platform/core/bindstatus.h"

#include <QRegion>
#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>

class QFrame;
class QListWidget;
class QProgressBar;

namespace kivora {

class DetachableBindStatus;
class ShockwaveFlash;
class SpeedButton;
class TImage;
struct TCategoryInfo;

// A category window: lists the titles of one category and plays the chosen one, from the
// category folder when the file is there, otherwise streamed while a file transfer job
// downloads it. The window is the progress sink of the jobs it starts. The eleven
// category classes differ only in the category they are made for.
class TCategoryForm : public QWidget, public BindStatusCallback
{
    Q_OBJECT
public:
    static constexpr int ClientWidth = 1200;
    static constexpr int ClientHeight = 850;
    // The picture files every category window reads from the program directory at start-up.
    static QStringList startUpPictures();

    // Precondition: `windowClass` names a catalog category; `owner` is the launcher
    // window, which the category window stays in front of.
    // Throws std::runtime_error when the player cannot be created.
    TCategoryForm(const char *windowClass, const char *windowName, QWidget *owner);
    ~TCategoryForm() override;

    const char *windowClass() const { return m_windowClass; }
    const TCategoryInfo &category() const { return *m_category; }

    // Lets tests point the windows at loopback servers ("host:port"). Empty texts return
    // to the hosts fixed in the build.
    static void setServerHostsForTesting(const std::string &streamHost, const std::string &downloadHost);
    // Lets tests of other windows keep the player's engine from starting when a category
    // window is first shown.
    static void setPlayerWarmUpForTesting(bool enabled);

    void FormCreate();
    void FormShow();
    void ListBox1Click();
    void SpeedButton1Click();

    // The progress sink. The service calls it on a job's thread.
    HRESULT OnProgress(std::uint32_t ulProgress, std::uint32_t ulProgressMax, std::uint32_t ulStatusCode,
                       const char16_t *szStatusText) override;

    // Controls, named as the window's design names them.
    TImage *Image1 = nullptr;
    QFrame *Panel1 = nullptr;
    ShockwaveFlash *ShockwaveFlash1 = nullptr;
    QListWidget *ListBox1 = nullptr;
    SpeedButton *SpeedButton1 = nullptr;
    TImage *Image2 = nullptr;
    QProgressBar *PB = nullptr;
    // The last download percentage; written only by the progress rule.
    std::int32_t DownloadProgress = 0;
    // The region FormShow made last.
    QRegion rgn;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void createControls();
    void fillList();
    void placeImage2();
    // The progress rule for one report. Runs on the user-interface thread.
    void applyProgress(std::uint32_t ulProgress, std::uint32_t ulProgressMax, std::uint32_t ulStatusCode);
    std::u16string streamingAddressOf(std::u16string_view title) const;
    std::u16string downloadAddressOf(std::u16string_view title) const;

    const char *m_windowClass;
    const TCategoryInfo *m_category;
    // What the jobs of this window hold; detached before the window goes, so a job that
    // outlives it reaches nothing.
    std::shared_ptr<DetachableBindStatus> m_sink;
    bool m_placed = false;
};

} // namespace kivora
