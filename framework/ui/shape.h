#pragma once

#include <QColor>
#include <QVariant>
#include <QWidget>

namespace framework {

// Colour fields (NRCOR...) hold the colour as one number 0xRRGGBB (red in the high byte), the
// way the database and its demo data keep it. A null or negative number is no colour.
QColor colorFromNumber(const QVariant& number);
double numberFromColor(const QColor& color);

// A coloured rectangle (shp...): the forms paint it from a colour field and react to a click.
class TShape : public QWidget {
    Q_OBJECT
public:
    explicit TShape(QWidget* parent = nullptr, const QString& name = {});

    QColor BrushColor() const { return m_color; }
    void setBrushColor(const QColor& color);

    QSize sizeHint() const override { return {40, 20}; }

signals:
    // The mouse button was released over the shape (the forms' MouseUp handlers).
    void mouseUp(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QColor m_color = Qt::white;
};

} // namespace framework
