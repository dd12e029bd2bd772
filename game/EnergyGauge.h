#pragma once
// The House's energy bar: a horizontal bar on black, from 0 to a maximum, without text.

#include <QColor>
#include <QWidget>

class EnergyGauge : public QWidget {
    Q_OBJECT
public:
    explicit EnergyGauge(QWidget* parent = nullptr);

    void setMaximum(int maximum);
    int maximum() const { return maximum_; }
    // Kept between 0 and the maximum.
    void setValue(int value);
    int value() const { return value_; }
    void setBarColor(const QColor& color);
    QColor barColor() const { return barColor_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int maximum_ = 100;
    int value_ = 0;
    QColor barColor_ = QColor(0, 255, 0);
};
