// The glucose readings of one download as the result page shows them: the blood readings that go into the
// import file (control-solution tests and slots without a date left out), in the unit the meter reported them
// in, the last 30 days of them for the chart, with the marker records that fall into the same days.
#pragma once

#include "importfile/type_defs.h"

#include <cstdint>
#include <vector>

namespace bdlogic {

enum class GlucoseUnit { MgDl, MmolL };
enum class MarkerKind { Insulin, Intake, Exercise, Medicine };

struct ShownReading {
    double when = 0;  // day count with the time of day as fraction
    double value = 0; // in the unit shown; LO and HI keep the value the file holds for them
    MeterLimit limit = MeterLimit::None;
};

struct ShownMarker {
    double when = 0;
    MarkerKind kind = MarkerKind::Insulin;
};

class DownloadReadings {
public:
    static constexpr double kWindowDays = 30;

    DownloadReadings() = default;
    explicit DownloadReadings(const MeterRecords& records);

    // mmol/L when most blood readings came in mmol/L.
    GlucoseUnit unit() const { return unit_; }

    // What the chart shows, oldest first: the readings from 30 days before the newest one up to it, and the
    // marker records of that time.
    const std::vector<ShownReading>& readings() const { return shown_; }
    const std::vector<ShownMarker>& markers() const { return markers_; }
    double from() const { return from_; }
    double until() const { return until_; }
    // The usual target range, 70 to 180 mg/dl, in the unit shown.
    double bandLow() const;
    double bandHigh() const;
    // The chart's value range: at least 40 to 250 mg/dl, widened to every value shown. LO readings are drawn
    // on the lower edge and HI readings on the upper one.
    double floor() const { return floor_; }
    double ceiling() const { return ceiling_; }

    // Every blood reading of the download, not only the last 30 days: how many, their mean (LO and HI at the
    // values the file holds) in the unit shown, and the first and the last moment.
    int count() const { return count_; }
    double mean() const { return mean_; }
    double first() const { return first_; }
    double last() const { return last_; }

private:
    double inUnit(double mgdl) const;

    GlucoseUnit unit_ = GlucoseUnit::MgDl;
    std::vector<ShownReading> shown_;
    std::vector<ShownMarker> markers_;
    double from_ = 0;
    double until_ = 0;
    double floor_ = 0;
    double ceiling_ = 0;
    int count_ = 0;
    double mean_ = 0;
    double first_ = 0;
    double last_ = 0;
};

// The mmol/L value, to one decimal, that the decoder turned into this mg/dl value: a reading the meter gave
// in mmol/L shows exactly as the meter showed it. A value no one-decimal reading gives is rounded to one
// decimal.
double MmolOfMgdl(double mgdl);

} // namespace bdlogic
