#include "download_readings.h"

#include "startup/common_code.h"

#include <algorithm>
#include <cmath>

namespace bdlogic {

namespace {

constexpr double kBandLow = 70; // mg/dl
constexpr double kBandHigh = 180;
constexpr double kLeastFloor = 40;
constexpr double kLeastCeiling = 250;
constexpr double kMgdlPerMmol = 18.016;

// A blood reading that goes into the import file with a date.
bool IsDatedBloodReading(const GlucoseRecord& r) {
    return r.DATE != 0 && r.CONTROL == kFalse;
}

template <class Record>
void AddMarkers(const std::vector<Record>& records, MarkerKind kind, std::vector<ShownMarker>& out) {
    for (const Record& r : records)
        if (r.DATE != 0) out.push_back({r.DATE + r.TIME, kind});
}

} // namespace

double MmolOfMgdl(double mgdl) {
    const double tenths = std::floor(mgdl / kMgdlPerMmol * 10);
    for (const double t : {tenths, tenths + 1})
        if (MmolToMgdlValue(t / 10) == mgdl) return t / 10;
    return std::round(mgdl / kMgdlPerMmol * 10) / 10;
}

DownloadReadings::DownloadReadings(const MeterRecords& records) {
    std::vector<ShownReading> all;
    int inMmol = 0;
    double sum = 0;
    for (const GlucoseRecord& r : records.glucose) {
        if (!IsDatedBloodReading(r)) continue;
        all.push_back({r.DATE + r.TIME, static_cast<double>(r.BG), r.meterLimit});
        sum += r.BG;
        if (r.meterMmol) ++inMmol;
    }
    if (all.empty()) return;
    count_ = static_cast<int>(all.size());
    unit_ = inMmol * 2 > count_ ? GlucoseUnit::MmolL : GlucoseUnit::MgDl;
    mean_ = inUnit(sum / count_);

    std::stable_sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.when < b.when; });
    first_ = all.front().when;
    last_ = all.back().when;
    until_ = last_;
    from_ = std::max(first_, until_ - kWindowDays);
    const auto begin = std::lower_bound(all.begin(), all.end(), from_,
                                        [](const ShownReading& r, double t) { return r.when < t; });
    shown_.assign(begin, all.end());

    const double perUnit = unit_ == GlucoseUnit::MmolL ? kMgdlPerMmol : 1;
    floor_ = kLeastFloor / perUnit;
    ceiling_ = kLeastCeiling / perUnit;
    for (ShownReading& r : shown_) {
        r.value = inUnit(r.value);
        if (r.limit != MeterLimit::None) continue;
        floor_ = std::min(floor_, r.value);
        ceiling_ = std::max(ceiling_, r.value);
    }

    AddMarkers(records.insulin, MarkerKind::Insulin, markers_);
    AddMarkers(records.intakes, MarkerKind::Intake, markers_);
    AddMarkers(records.exercise, MarkerKind::Exercise, markers_);
    AddMarkers(records.medicines, MarkerKind::Medicine, markers_);
    std::erase_if(markers_, [this](const ShownMarker& m) { return m.when < from_ || m.when > until_; });
}

double DownloadReadings::inUnit(double mgdl) const {
    return unit_ == GlucoseUnit::MmolL ? MmolOfMgdl(mgdl) : mgdl;
}

double DownloadReadings::bandLow() const {
    return unit_ == GlucoseUnit::MmolL ? 3.9 : kBandLow;
}

double DownloadReadings::bandHigh() const {
    return unit_ == GlucoseUnit::MmolL ? 10.0 : kBandHigh;
}

} // namespace bdlogic
