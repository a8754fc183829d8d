#include "shape.h"

#include <QMouseEvent>
#include <QPainter>

namespace framework {

QColor colorFromNumber(const QVariant& number)
{
    if (number.isNull() || !number.isValid())
        return {};
    const qint64 value = qRound64(number.toDouble());
    if (value < 0)
        return {};
    return QColor::fromRgb(QRgb(value & 0xFFFFFF));
}

double numberFromColor(const QColor& color)
{
    return color.isValid() ? double(color.rgb() & 0xFFFFFF) : -1;
}

TShape::TShape(QWidget* parent, const QString& name) : QWidget(parent)
{
    setObjectName(name);
}

void TShape::setBrushColor(const QColor& color)
{
    m_color = color;
    update();
}

void TShape::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(isEnabled() ? Qt::black : Qt::gray);
    painter.setBrush(m_color.isValid() ? m_color : QColor(Qt::white));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TShape::mouseReleaseEvent(QMouseEvent* event)
{
    QWidget::mouseReleaseEvent(event);
    if (rect().contains(event->position().toPoint()))
        emit mouseUp(event->button());
}

} // namespace framework
