#include "readings_chart.h"

#include "readings_text.h"

#include <QHelpEvent>
#include <QPainter>
#include <QPixmap>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace bdlogic {

namespace {

const QColor kReadingColor(0x1f, 0x5f, 0xa8);
const QColor kBandColor(0x4c, 0xaf, 0x50, 0x48);
const QColor kLimitColor(0xc6, 0x28, 0x28);
// Insulin, meal, exercise, medicines: MarkerKind's order.
const std::array<QColor, 4> kMarkerColors{QColor(0x6a, 0x1b, 0x9a), QColor(0xef, 0x6c, 0x00),
                                          QColor(0x2e, 0x7d, 0x32), QColor(0x00, 0x83, 0x8f)};

// Time axis steps in days: hours while the span is short, weeks when it is long.
constexpr double kAxisSteps[] = {1.0 / 24, 2.0 / 24, 3.0 / 24, 6.0 / 24, 12.0 / 24, 1, 2, 7, 14, 28};
constexpr double kFirstMonday = 2; // day 0, 30 December 1899, was a Saturday
constexpr double kLeastSpan = 1.0 / 24;

// Half the base of a LO or HI triangle.
double LimitSize(double radius) {
    return radius * 1.6;
}

QString NumberText(double value, GlucoseUnit unit) {
    return QLocale().toString(value, 'f', unit == GlucoseUnit::MmolL ? 1 : 0);
}

bool HasLimits(const DownloadReadings& d) {
    return std::any_of(d.readings().begin(), d.readings().end(),
                       [](const ShownReading& r) { return r.limit != MeterLimit::None; });
}

// A triangle inside the plot whose tip touches its edge: up at the top for HI, down at the bottom for LO.
QPolygonF EdgeTriangle(QPointF tip, double size, bool up) {
    const double base = up ? size * 1.6 : -size * 1.6;
    return QPolygonF({tip, tip + QPointF(-size, base), tip + QPointF(size, base)});
}

} // namespace

ReadingsChart::ReadingsChart(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ReadingsChart::setReadings(DownloadReadings readings, std::array<QString, 4> markerNames) {
    readings_ = std::move(readings);
    markerNames_ = std::move(markerNames);
    update();
}

QSize ReadingsChart::sizeHint() const {
    const QFontMetrics fm(font());
    return {30 * fm.horizontalAdvance(u'0'), 6 * fm.height()};
}

QSize ReadingsChart::minimumSizeHint() const {
    const QFontMetrics fm(font());
    return {16 * fm.horizontalAdvance(u'0'), 4 * fm.height()};
}

ReadingsChart::Frame ReadingsChart::frame() const {
    const QFontMetricsF fm(font());
    const double line = fm.height();
    const double gap = fm.horizontalAdvance(u'0') / 2;
    const GlucoseUnit unit = readings_.unit();
    Frame f;
    f.radius = std::max(1.5, line / 7);
    const double left = std::max({fm.horizontalAdvance(NumberText(readings_.bandHigh(), unit)),
                                  fm.horizontalAdvance(NumberText(readings_.bandLow(), unit)),
                                  fm.horizontalAdvance(UnitText(unit))}) +
                        gap;
    const double right = HasLimits(readings_) ? fm.horizontalAdvance(QStringLiteral("HI")) + gap : gap / 2;
    const double tickHeight = std::max(3.0, line / 3);
    f.plot = QRectF(QPointF(left, line / 3), QPointF(width() - right, height() - line - tickHeight - 1));
    f.ticks = QRectF(f.plot.left(), f.plot.bottom() + 1, f.plot.width(), tickHeight);
    const double widen = std::max(0.0, (kLeastSpan - (readings_.until() - readings_.from())) / 2);
    f.from = readings_.from() - widen;
    f.until = readings_.until() + widen;
    return f;
}

double ReadingsChart::xOf(double when, const Frame& f) const {
    const double inner = f.plot.width() - 2 * f.radius;
    return f.plot.left() + f.radius + (when - f.from) / (f.until - f.from) * inner;
}

QPointF ReadingsChart::position(const ShownReading& r, const Frame& f) const {
    const double x = xOf(r.when, f);
    switch (r.limit) {
    case MeterLimit::Lo:
        return {x, f.plot.bottom() - LimitSize(f.radius) * 0.8};
    case MeterLimit::Hi:
        return {x, f.plot.top() + LimitSize(f.radius) * 0.8};
    case MeterLimit::None:
        break;
    }
    const double inner = f.plot.height() - 2 * f.radius;
    const double share = (r.value - readings_.floor()) / (readings_.ceiling() - readings_.floor());
    return {x, f.plot.bottom() - f.radius - share * inner};
}

QPointF ReadingsChart::readingPosition(std::size_t i) const {
    if (i >= readings_.readings().size()) return {};
    return position(readings_.readings()[i], frame());
}

void ReadingsChart::paintEvent(QPaintEvent*) {
    if (readings_.readings().empty()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const Frame f = frame();
    if (f.plot.width() <= 2 * f.radius || f.plot.height() <= 2 * f.radius) return;
    paintBand(p, f);
    paintTimeAxis(p, f);
    paintMarkers(p, f);
    paintReadings(p, f);
}

void ReadingsChart::paintBand(QPainter& p, const Frame& f) const {
    const GlucoseUnit unit = readings_.unit();
    const QPointF high = position({0, readings_.bandHigh(), MeterLimit::None}, f);
    const QPointF low = position({0, readings_.bandLow(), MeterLimit::None}, f);
    p.fillRect(QRectF(QPointF(f.plot.left(), high.y()), QPointF(f.plot.right(), low.y())), kBandColor);

    // The band's values in the gutter on the left; the lower one only where it does not run into the upper.
    const double line = QFontMetricsF(font()).height();
    const double gutter = f.plot.left() - QFontMetricsF(font()).horizontalAdvance(u'0') / 2;
    const QRectF highLabel(0, high.y() - line / 2, gutter, line);
    const QRectF lowLabel(0, low.y() - line / 2, gutter, line);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(highLabel, Qt::AlignRight | Qt::AlignVCenter, NumberText(readings_.bandHigh(), unit));
    if (!lowLabel.intersects(highLabel))
        p.drawText(lowLabel, Qt::AlignRight | Qt::AlignVCenter, NumberText(readings_.bandLow(), unit));
    p.drawText(QRectF(0, height() - line, gutter, line), Qt::AlignLeft | Qt::AlignVCenter, UnitText(unit));
}

void ReadingsChart::paintTimeAxis(QPainter& p, const Frame& f) const {
    const QFontMetricsF fm(font());
    const double line = fm.height();
    const QLocale locale;
    const QString dayFormat = DayFormat(locale);
    const QString minuteFormat = MinuteFormat(locale);
    const double dayWidth = fm.horizontalAdvance(locale.toString(QDate(2024, 12, 28), dayFormat));
    const double minuteWidth = fm.horizontalAdvance(locale.toString(QTime(23, 59), minuteFormat));
    const double span = f.until - f.from;
    const double inner = f.plot.width() - 2 * f.radius;

    double step = kAxisSteps[std::size(kAxisSteps) - 1];
    for (const double s : kAxisSteps) {
        const double needed =
            (s < 1 ? std::max(dayWidth, minuteWidth) : dayWidth) + fm.horizontalAdvance(u'0') * 2;
        if (s / span * inner >= needed) {
            step = s;
            break;
        }
    }
    const double origin = step >= 7 ? kFirstMonday : 0;

    QPen grid(palette().color(QPalette::Mid), 0);
    p.setPen(grid);
    p.drawLine(QPointF(f.plot.left(), f.plot.bottom()), QPointF(f.plot.right(), f.plot.bottom()));
    const QRectF labels(f.plot.left(), height() - line, width() - f.plot.left(), line);
    double lastRight = labels.left();
    for (auto k = static_cast<long long>(std::ceil((f.from - origin) / step));
         origin + static_cast<double>(k) * step <= f.until; ++k) {
        const double when = origin + static_cast<double>(k) * step;
        const double x = xOf(when, f);
        const QDateTime moment = MomentOfDayCount(when);
        const bool midnight = moment.time() == QTime(0, 0);
        const QString text = midnight ? locale.toString(moment.date(), dayFormat)
                                      : locale.toString(moment.time(), minuteFormat);
        const double w = fm.horizontalAdvance(text);
        QRectF box(x - w / 2, labels.top(), w, line);
        if (box.right() > labels.right()) box.moveRight(labels.right());
        if (box.left() < lastRight) continue;
        p.setPen(grid);
        p.drawLine(QPointF(x, f.plot.top()), QPointF(x, f.plot.bottom()));
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(box, Qt::AlignCenter, text);
        lastRight = box.right() + fm.horizontalAdvance(u'0');
    }
}

void ReadingsChart::paintMarkers(QPainter& p, const Frame& f) const {
    for (std::size_t kind = 0; kind < kMarkerColors.size(); ++kind) {
        p.setPen(QPen(kMarkerColors[kind], std::max(1.0, f.radius * 0.8), Qt::SolidLine, Qt::FlatCap));
        for (const ShownMarker& m : readings_.markers()) {
            if (static_cast<std::size_t>(m.kind) != kind) continue;
            const double x = xOf(m.when, f);
            p.drawLine(QPointF(x, f.ticks.top()), QPointF(x, f.ticks.bottom()));
        }
    }
}

void ReadingsChart::paintReadings(QPainter& p, const Frame& f) const {
    // One dot drawn once and copied to every reading's place: a stroked circle per reading would make the
    // page wait for thousands of them. Places are whole device pixels, and a place already covered is
    // skipped.
    const qreal ratio = devicePixelRatioF();
    const int side = static_cast<int>(std::ceil(2 * f.radius * ratio)) + 1;
    QPixmap dot(side, side);
    dot.fill(Qt::transparent);
    {
        QPainter d(&dot);
        d.setRenderHint(QPainter::Antialiasing);
        d.setPen(Qt::NoPen);
        d.setBrush(kReadingColor);
        d.drawEllipse(QRectF(0.5, 0.5, side - 1, side - 1));
    }
    dot.setDevicePixelRatio(ratio);
    const double half = side / ratio / 2;

    const QSize grid = (size() * ratio).grownBy({1, 1, 1, 1});
    std::vector<bool> covered(static_cast<std::size_t>(grid.width()) *
                              static_cast<std::size_t>(grid.height()));
    QPolygonF lo;
    QPolygonF hi;
    for (const ShownReading& r : readings_.readings()) {
        const QPointF at = position(r, f);
        if (r.limit != MeterLimit::None) {
            (r.limit == MeterLimit::Lo ? lo : hi) << at;
            continue;
        }
        const int x = std::clamp(static_cast<int>(std::lround(at.x() * ratio)), 0, grid.width() - 1);
        const int y = std::clamp(static_cast<int>(std::lround(at.y() * ratio)), 0, grid.height() - 1);
        auto place = covered.begin() + static_cast<std::ptrdiff_t>(y) * grid.width() + x;
        if (*place) continue;
        *place = true;
        p.drawPixmap(QPointF(x / ratio - half, y / ratio - half), dot);
    }

    p.setPen(Qt::NoPen);
    p.setBrush(kLimitColor);
    const double size = LimitSize(f.radius);
    for (const QPointF& at : lo)
        p.drawPolygon(EdgeTriangle({at.x(), f.plot.bottom()}, size, false));
    for (const QPointF& at : hi)
        p.drawPolygon(EdgeTriangle({at.x(), f.plot.top()}, size, true));
    // Name the edges in the gutter on the right.
    const double line = QFontMetricsF(font()).height();
    const double right = width() - f.plot.right();
    const QRectF hiLabel(f.plot.right(), f.plot.top() - line / 3, right, line);
    const QRectF loLabel(f.plot.right(), f.plot.bottom() - line * 2 / 3, right, line);
    p.setPen(kLimitColor);
    if (!hi.isEmpty()) p.drawText(hiLabel, Qt::AlignRight | Qt::AlignTop, QStringLiteral("HI"));
    if (!lo.isEmpty() && (hi.isEmpty() || !loLabel.intersects(hiLabel)))
        p.drawText(loLabel, Qt::AlignRight | Qt::AlignTop, QStringLiteral("LO"));
}

QString ReadingsChart::toolTipAt(QPointF at, QRect& area) const {
    const Frame f = frame();
    const double reach = std::max(2 * f.radius, QFontMetricsF(font()).height() / 3);
    const QLocale locale;

    const ShownReading* nearest = nullptr;
    double best = reach;
    QPointF where;
    for (const ShownReading& r : readings_.readings()) {
        const QPointF p = position(r, f);
        const double d = std::hypot(p.x() - at.x(), p.y() - at.y());
        if (d <= best) {
            best = d;
            nearest = &r;
            where = p;
        }
    }
    if (nearest) {
        area = QRectF(where - QPointF(reach, reach), QSizeF(2 * reach, 2 * reach)).toAlignedRect();
        return MomentText(nearest->when, locale) + QStringLiteral(": ") +
               ValueText(*nearest, readings_.unit(), locale);
    }

    if (at.y() < f.ticks.top() - reach / 2 || at.y() > f.ticks.bottom() + reach / 2) return {};
    const ShownMarker* marker = nullptr;
    best = reach;
    for (const ShownMarker& m : readings_.markers()) {
        const double d = std::abs(xOf(m.when, f) - at.x());
        if (d <= best) {
            best = d;
            marker = &m;
        }
    }
    if (!marker) return {};
    const double x = xOf(marker->when, f);
    area = QRectF(QPointF(x - reach, f.ticks.top() - reach), QPointF(x + reach, f.ticks.bottom() + reach))
               .toAlignedRect();
    const QString& name = markerNames_[static_cast<std::size_t>(marker->kind)];
    const QString moment = MomentText(marker->when, locale);
    return name.isEmpty() ? moment : moment + QStringLiteral(": ") + name;
}

bool ReadingsChart::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    QRect area;
    const QString text = toolTipAt(help->pos(), area);
    if (text.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help->globalPos(), text, this, area);
    }
    return true;
}

} // namespace bdlogic
