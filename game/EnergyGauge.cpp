#include "game/EnergyGauge.h"

#include <QPainter>

#include <algorithm>

EnergyGauge::EnergyGauge(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void EnergyGauge::setMaximum(int maximum)
{
    maximum_ = std::max(0, maximum);
    value_ = std::min(value_, maximum_);
    update();
}

void EnergyGauge::setValue(int value)
{
    value_ = std::clamp(value, 0, maximum_);
    update();
}

void EnergyGauge::setBarColor(const QColor& color)
{
    barColor_ = color;
    update();
}

void EnergyGauge::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (maximum_ <= 0 || value_ <= 0)
        return;
    const int barWidth = int(qint64(width()) * value_ / maximum_);
    painter.fillRect(QRect(0, 0, barWidth, height()), barColor_);
}
