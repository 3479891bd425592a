#pragma once

#include <QWidget>

namespace kivora {

// Horizontal bar gauge with its percentage drawn over the bar. The value is kept within
// 1..100; the text shows (value − 1) × 100 / 99, truncated.
class TGauge : public QWidget
{
    Q_OBJECT
public:
    static constexpr int MinValue = 1;
    static constexpr int MaxValue = 100;

    explicit TGauge(QWidget *parent = nullptr);

    void setProgress(int value);
    int progress() const { return m_progress; }
    int percentDone() const;
    QString text() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_progress = MinValue;
};

} // namespace kivora
