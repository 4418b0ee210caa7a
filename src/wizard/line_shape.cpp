#include "line_shape.h"

#include <QPainter>

namespace bdlogic {

LineShape::LineShape(QWidget* parent) : QWidget(parent) {}

void LineShape::setBorderColor(const QColor& color) {
    if (color == color_) return;
    color_ = color;
    update();
}

void LineShape::setBorderWidth(int width) {
    width_ = width > 0 ? width : 1;
    update();
}

void LineShape::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(QPen(color_, width_, Qt::SolidLine, Qt::FlatCap));
    const int y = height() / 2;
    p.drawLine(0, y, width(), y);
}

} // namespace bdlogic
