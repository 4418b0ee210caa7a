// The meter models the driver serves: one row each, so that a model is data, not code.
#pragma once

#include <array>
#include <cstdint>

namespace bdlogic {

struct MeterModel {
    std::int16_t code;    // model code on the command line (iUniqueImportID)
    const char* name;     // model name, also the registry sub-key of its settings
    const char* settings; // line settings "baud,parity,data,stop"
    int introPicture;     // bitmap resource on the introduction page (code + 100)
    int portPicture;      // bitmap resource on the port page (code + 1100)
};

inline constexpr std::array<MeterModel, 2> kMeterModels{{
    {64, "BD Logic", "9600,O,8,1", 164, 1164},
    {84, "Paradigm Link", "57600,N,8,1", 184, 1184},
}};

// The row of a model code, or nullptr for a code the driver does not know.
constexpr const MeterModel* FindMeterModel(std::int16_t code) {
    for (const MeterModel& m : kMeterModels)
        if (m.code == code) return &m;
    return nullptr;
}

// Line settings for a model code: "BD Logic" has its own, every other code gets those of "Paradigm Link".
constexpr const char* LineSettingsFor(std::int16_t code) {
    return code == kMeterModels[0].code ? kMeterModels[0].settings : kMeterModels[1].settings;
}

} // namespace bdlogic
