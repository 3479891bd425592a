#pragma once

#include "update/updateflow.h"
#include "platform/core/windowmessages.h"

#include <QStringList>
#include <QWidget>

#include <array>
#include <memory>
#include <string>

class QFrame;
class QLabel;

namespace kivora {

class SpeedButton;
class TGauge;
class TImage;

// The launcher: a tablet-shaped window whose screen shows the island and its hot-spots.
class TmainForm : public QWidget, private UpdateView
{
    Q_OBJECT
public:
    static constexpr int ClientWidth = 845;
    static constexpr int ClientHeight = 628;
    // The pictures the launcher shows first: built in, and from the program directory.
    static QStringList startUpPictures();

    explicit TmainForm(QWidget *parent = nullptr);
    ~TmainForm() override;

    // The handle a fetch job posts wm_downprogres to.
    WindowHandle handle() const { return m_handle; }

    void FormCreate();
    void FormShow();
    // Handles wm_downprogres: 0..100 move the gauge, 100 (the new executable is saved)
    // finishes the update; -1 is the fetch job's failure report.
    void dowm_downprogres(std::intptr_t percent);

    // True from the update site's click until the check's network steps have answered.
    bool updateCheckUnderWay() const { return m_update.checkUnderWay(); }
    // Lets tests point the update check at their own server.
    void setUpdateAddressForTesting(std::u16string address) { m_update.setAddressForTesting(std::move(address)); }

    void SpeedButton1Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    void SpeedButton5Click();
    void SpeedButton6Click();
    void SpeedButton7Click();
    void SpeedButton8Click();
    void SpeedButton9Click();
    void SpeedButton10Click();
    void SpeedButton11Click();
    void SpeedButton12Click();
    void SpeedButton13Click();
    void SpeedButton14Click();
    // Move and leave of every hot-spot but the update site only show or hide its picture.
    void hotSpotMouseMove(int number);
    void hotSpotMouseLeave(int number);
#define KIVORA_HOT_SPOT_HANDLERS(n)                              \
    void SpeedButton##n##MouseMove() { hotSpotMouseMove(n); }    \
    void SpeedButton##n##MouseLeave() { hotSpotMouseLeave(n); }
    KIVORA_HOT_SPOT_HANDLERS(3)
    KIVORA_HOT_SPOT_HANDLERS(4)
    KIVORA_HOT_SPOT_HANDLERS(6)
    KIVORA_HOT_SPOT_HANDLERS(7)
    KIVORA_HOT_SPOT_HANDLERS(8)
    KIVORA_HOT_SPOT_HANDLERS(9)
    KIVORA_HOT_SPOT_HANDLERS(10)
    KIVORA_HOT_SPOT_HANDLERS(11)
    KIVORA_HOT_SPOT_HANDLERS(12)
    KIVORA_HOT_SPOT_HANDLERS(13)
    KIVORA_HOT_SPOT_HANDLERS(14)
#undef KIVORA_HOT_SPOT_HANDLERS
    void SpeedButton5MouseMove();
    void SpeedButton5MouseLeave();

    // Controls, named as the window's design names them.
    TImage *Image1 = nullptr;
    SpeedButton *SpeedButton1 = nullptr;
    QFrame *Panel1 = nullptr;
    TImage *Image2 = nullptr;
    QLabel *Label1 = nullptr;
    TGauge *Gauge1 = nullptr;
    TImage *image(int number) const { return m_images.at(number); }
    SpeedButton *hotSpot(int number) const { return m_hotSpots.at(number); }

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void customEvent(QEvent *event) override;

private:
    void createControls();
    void loadUpdatePicture();
    void showNotice(const QString &text);
    void hideUpdateControls();
    // What the update shows in this window.
    void showNoUpdate() override;
    bool askToUpdate() override;
    void showUpdateBegun() override;
    void showProgress(std::intptr_t percent) override;
    void showUpdateSaved(bool succeeded) override;
    void showUpdateFailed() override;
    void showUpdateRefused() override;

    std::array<TImage *, 15> m_images{};
    std::array<SpeedButton *, 15> m_hotSpots{};
    WindowHandle m_handle = 0;
    bool m_placed = false;
    bool m_iconGiven = false;
    UpdateFlow m_update;
};

extern TmainForm *mainForm;

} // namespace kivora
