// The result page's chart of the downloaded readings: one point per reading over time, the usual target range
// as a band, LO and HI on the chart's edges, and the marker records as short ticks along the time axis.
// Everything is laid out from the widget's present size and font; a tool tip names the reading or marker
// under the pointer.
#pragma once

#include "download_readings.h"

#include <QWidget>

#include <array>

namespace bdlogic {

class ReadingsChart : public QWidget {
public:
    explicit ReadingsChart(QWidget* parent = nullptr);

    // The readings to draw, and the names of the marker kinds for the ticks' tool tips (empty: date and time
    // only).
    void setReadings(DownloadReadings readings, std::array<QString, 4> markerNames);
    const DownloadReadings& readings() const { return readings_; }

    // The centre of reading i as drawn at the present size.
    QPointF readingPosition(std::size_t i) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct Frame {
        QRectF plot;     // the readings' area: time from left to right, values from bottom to top
        QRectF ticks;    // the strip below it that holds the markers
        double from = 0; // the times at the plot's left and right edges
        double until = 0;
        double radius = 0; // of a reading's point
    };
    Frame frame() const;
    QPointF position(const ShownReading& r, const Frame& f) const;
    double xOf(double when, const Frame& f) const;
    void paintBand(QPainter& p, const Frame& f) const;
    void paintTimeAxis(QPainter& p, const Frame& f) const;
    void paintReadings(QPainter& p, const Frame& f) const;
    void paintMarkers(QPainter& p, const Frame& f) const;
    // The tool tip for a point of the widget, and the area it holds for; empty away from every reading and
    // tick.
    QString toolTipAt(QPointF at, QRect& area) const;

    DownloadReadings readings_;
    std::array<QString, 4> markerNames_;
};

} // namespace bdlogic
