// A line control: a horizontal line drawn in its border colour.
#pragma once

#include <QColor>
#include <QWidget>

namespace bdlogic {

class LineShape : public QWidget {
public:
    explicit LineShape(QWidget* parent = nullptr);
    void setBorderColor(const QColor& color);
    QColor borderColor() const { return color_; }
    void setBorderWidth(int width);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_ = Qt::black;
    int width_ = 1;
};

} // namespace bdlogic
