// The windows are laid out in pixels for a 9 pt font at 96 dpi. A user's larger font (a large system font, a
// higher font dpi) makes them grow in proportion instead of cutting their texts off; a smaller one is not
// followed, so the normal font keeps the designed look. QT_SCALE_FACTOR needs nothing of this: Qt scales the
// whole window.
#pragma once

#include <QFont>
#include <QRect>

class QWidget;

namespace bdlogic {

inline constexpr double kDesignPoints = 9;

// The font a window is designed for, at no less than the designed size: the application's font otherwise.
QFont DesignFont();

class DesignScale {
public:
    DesignScale() = default;
    // From the window's font and its screen's logical dpi.
    explicit DesignScale(const QWidget& window);

    double factor() const { return factor_; }
    int operator()(int designed) const;
    QRect operator()(const QRect& designed) const;

private:
    double factor_ = 1;
};

// Grows what the builders of `root` gave in designed pixels: fixed and minimum sizes of its widgets, margins
// and spacing of its layouts. Run once, when the window is built; positions set with setGeometry are the
// caller's.
void GrowDesignedSizes(QWidget& root, const DesignScale& scale);

} // namespace bdlogic
