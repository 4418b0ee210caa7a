#include "meter_read.h"

#include "glucose_decoder.h"
#include "info_block.h"
#include "marker_decoder.h"
#include "marker_settings.h"
#include "meterlink/meter_commands.h"

namespace bdlogic {

namespace {

// The glucose and insulin arrays hold this many zero records when the meter has no entry of their kind.
constexpr std::size_t kEmptyArraySize = 501;

constexpr int kRangeCommentText = 1234;

void StartEmpty(MeterRecords& records) {
    const int undated = records.iNoDateCount;
    records = MeterRecords{};
    records.iNoDateCount = undated;
    records.glucose.resize(kEmptyArraySize);
    records.insulin.resize(kEmptyArraySize);
}

} // namespace

int RecordCount(const MeterRecords& records) {
    int total = 0;
    for (const int last : {records.iGlucoseLast, records.iInsulinLast, records.iIntakesLast, records.iExerciseLast,
                           records.iMedicinesLast})
        if (last >= 0) total += last + 1;
    return total;
}

int meter_read(MessageLayer& layer, Services& services, MeterRecords& records, DownloadReport& report,
               const AnimateFn& animate) {
    StartEmpty(records);
    layer.port().clearOutput();
    if (animate) animate(true);
    const MarkerSettings settings = LoadDownloadMarkerSettings(services.registry, services.state.modelKey());

    // After a series that ended on failed checks the next exchange still runs; a silent meter or a lost port
    // ends the download. Whatever was read is decoded.
    const Exchange glucose =
        layer.read_blocks(kGlucoseBase, {QStringLiteral("Glu"), QStringLiteral("Cntl")}, 4311, 4311);
    Exchange markers;
    if (DownloadGoesOn(glucose.part.end)) markers = layer.read_blocks(kMarkerBase, {QStringLiteral("P")}, 4317, 4313);
    Exchange info;
    if (DownloadGoesOn(markers.part.end)) info = layer.read_info();
    report = {glucose.part, markers.part, info.part};
    layer.port().setPortOpen(false);
    // The meter sends one character per byte.
    if (const auto id = MeterIdFromInfo(QString::fromLatin1(info.text))) services.state.sMeterID = *id;

    GlucoseDecoding how;
    how.importId = services.state.iUniqueImportID;
    how.markerComment = settings.comment;
    how.rangeComment = loadres(services.texts(), kRangeCommentText);
    DecodeGlucose(QString::fromLatin1(glucose.text), how, records);
    DecodeMarkers(QString::fromLatin1(markers.text), settings.markers, services.state.iUniqueImportID, records);

    if (animate) animate(false);
    layer.port().setPortOpen(false);
    return RecordCount(records);
}

} // namespace bdlogic
