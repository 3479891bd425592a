#pragma once

#include <QWidget>

namespace kivora {

// A category window: lists the titles of one category and plays the chosen one. The
// eleven category classes differ only in the category they are made for.
class TCategoryForm : public QWidget
{
    Q_OBJECT
public:
    static constexpr int ClientWidth = 1200;
    static constexpr int ClientHeight = 850;

    // Precondition: `owner` is the launcher window, which the category window stays in front of.
    TCategoryForm(const char *windowClass, const char *windowName, QWidget *owner);

    const char *windowClass() const { return m_windowClass; }

    void FormCreate();
    void FormShow();

protected:
    void showEvent(QShowEvent *event) override;

private:
    const char *m_windowClass;
    bool m_placed = false;
};

} // namespace kivora
