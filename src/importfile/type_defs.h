// The records the meter's memory is decoded into and the header every import file section carries.
// Dates are day counts since 30 December 1899 with the time of day as fraction; 0 = no date (an empty slot).
// Flags are 16-bit with True = -1 and False = 0.
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace bdlogic {

constexpr std::int16_t kTrue = -1;
constexpr std::int16_t kFalse = 0;

struct ImportHeader {
    QString ImportFrom;
    QString ImportID;
    std::int16_t ImportType = 0;
    double ImportDate = 0;
    double ImportTime = 0;
    QString ImportAction;
};

// A reading the meter showed as "LO" (below its range) or "HI" (above it) instead of a value.
enum class MeterLimit : std::int8_t { None, Lo, Hi };

struct GlucoseRecord {
    double DATE = 0;
    double TIME = 0;
    std::int16_t BG = 0;
    std::int16_t EVENT = 0;
    QString EVENT_DESC;
    QString COMMENT;
    QString COMMENT2;
    std::int16_t CONTROL = 0;
    std::int16_t IMPORT_ID = 0;
    std::int16_t SKIP = 0;
    // Never written to the import file: how the meter showed the reading, so that it can be shown the same way.
    bool meterMmol = false; // the meter gave the value in mmol/L
    MeterLimit meterLimit = MeterLimit::None;
};

struct InsulinRecord {
    double DATE = 0;
    double TIME = 0;
    double I1 = 0;
    double I2 = 0;
    QString TYPE;
    std::int16_t EVENT = 0;
    QString EVENT_DESC;
    QString COMMENT2;
    QString COMMENT;
    std::int16_t RAPID = 0;
    std::int16_t IMPORT_ID = 0;
    std::int16_t SKIP = 0;
};

struct IntakeRecord {
    double DATE = 0;
    double TIME = 0;
    double BU = 0;
    QString DESC;
    std::int16_t EVENT = 0;
    QString EVENT_DESC;
    QString COMMENT;
    QString COMMENT2;
    std::int16_t IMPORT_ID = 0;
    std::int16_t SKIP = 0;
    float CARBO = 0;
    std::int16_t KCAL = 0;
    float FAT = 0;
    float CHOL = 0;
    float WATER = 0;
    float PROTEIN = 0;
    float FIBRES = 0;
};

struct ExerciseRecord {
    double DATE = 0;
    double TIME = 0;
    std::int16_t MMM = 0;
    QString DESC;
    std::int16_t EVENT = 0;
    QString COMMENT;
    QString COMMENT2;
    std::int16_t IMPORT_ID = 0;
    std::int16_t SKIP = 0;
};

struct MedicineRecord {
    double DATE = 0;
    double TIME = 0;
    float NNN = 0;
    QString DESC;
    std::int16_t EVENT = 0;
    QString COMMENT;
    QString COMMENT2;
    std::int16_t IMPORT_ID = 0;
    std::int16_t TYP = 0;
    std::int16_t SKIP = 0;
};

// The five arrays a download fills and the export run writes, with the counters of their last index (-1 when
// empty) and the number of meter lines dropped for a missing date.
struct MeterRecords {
    std::vector<GlucoseRecord> glucose;
    std::vector<InsulinRecord> insulin;
    std::vector<IntakeRecord> intakes;
    std::vector<ExerciseRecord> exercise;
    std::vector<MedicineRecord> medicines;
    int iGlucoseLast = -1;
    int iGlucoseLastRead = -1;
    int iInsulinLast = -1;
    int iIntakesLast = -1;
    int iExerciseLast = -1;
    int iMedicinesLast = -1;
    int iNoDateCount = 0;
};

} // namespace bdlogic
