#include "design_scale.h"

#include <QApplication>
#include <QGridLayout>
#include <QLayout>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace bdlogic {

namespace {
constexpr double kDesignDpi = 96;

// The window's own widgets; Qt's inner ones (a list's scroll bars) size themselves.
bool IsControl(const QWidget* w) {
    const QString name = w ? w->objectName() : QString();
    return !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
}

// A length the builder set: grown. Zero, Qt's "not set" (-1) and "no limit" stay.
int Grow(int value, const DesignScale& px) {
    return value > 0 && value < QWIDGETSIZE_MAX ? px(value) : value;
}

void GrowLayout(QLayout& layout, const DesignScale& px) {
    const QMargins m = layout.contentsMargins();
    layout.setContentsMargins(px(m.left()), px(m.top()), px(m.right()), px(m.bottom()));
    if (auto* grid = qobject_cast<QGridLayout*>(&layout)) {
        grid->setHorizontalSpacing(Grow(grid->horizontalSpacing(), px));
        grid->setVerticalSpacing(Grow(grid->verticalSpacing(), px));
    } else {
        layout.setSpacing(Grow(layout.spacing(), px));
    }
}
} // namespace

QFont DesignFont() {
    QFont font = QApplication::font();
    font.setPointSizeF(std::max(kDesignPoints, font.pointSizeF()));
    return font;
}

DesignScale::DesignScale(const QWidget& window) {
    const double points = window.font().pointSizeF();
    if (points > 0) factor_ = std::max(1.0, points * window.logicalDpiY() / (kDesignPoints * kDesignDpi));
}

int DesignScale::operator()(int designed) const {
    return static_cast<int>(std::lround(designed * factor_));
}

QRect DesignScale::operator()(const QRect& designed) const {
    return {(*this)(designed.x()), (*this)(designed.y()), (*this)(designed.width()),
            (*this)(designed.height())};
}

void GrowDesignedSizes(QWidget& root, const DesignScale& px) {
    if (px.factor() == 1) return;
    for (QLayout* layout : root.findChildren<QLayout*>())
        if (IsControl(layout->parentWidget())) GrowLayout(*layout, px);
    for (QWidget* w : root.findChildren<QWidget*>()) {
        if (!IsControl(w)) continue;
        const QSize min = w->minimumSize();
        const QSize max = w->maximumSize();
        w->setMinimumSize(Grow(min.width(), px), Grow(min.height(), px));
        w->setMaximumSize(Grow(max.width(), px), Grow(max.height(), px));
    }
}

} // namespace bdlogic
