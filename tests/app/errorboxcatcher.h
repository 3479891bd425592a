#pragma once

#include <QMessageBox>
#include <QObject>
#include <QString>

#include <functional>
#include <vector>

namespace kivora {

// Watches the whole application for message boxes: records each one as it opens and
// dismisses it with its default (or only) button, so a modal box never blocks a test.
class ErrorBoxCatcher : public QObject
{
    Q_OBJECT
public:
    struct Seen
    {
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        bool applicationModal = false;
        QString snapshot; // what `onShown` reported while the box was open
    };

    ErrorBoxCatcher();
    ~ErrorBoxCatcher() override;

    const std::vector<Seen> &seen() const { return m_seen; }
    void clear() { m_seen.clear(); }

    // Called while each box is open; its answer is kept with the box.
    void setOnShown(std::function<QString()> onShown) { m_onShown = std::move(onShown); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::vector<Seen> m_seen;
    std::function<QString()> m_onShown;
};

} // namespace kivora
