#include "marker_settings.h"

#include "startup/common_code.h"

#include <cstdlib>

namespace bdlogic {

namespace {

QString Indexed(const char* stem, int k) { return QLatin1String(stem) + QString::number(k); }

QString ReadUser(const Registry& registry, const QString& key, const QString& name, const QString& fallback) {
    QString value = fallback;
    registry.ReadRegValue(Hive::CurrentUser, key, name, value);
    return value;
}

// A check box shows the absolute value of the number stored ("-1" and "1" both check it).
std::optional<std::int16_t> BoxValue(const QString& text) {
    const auto n = ToInt16(text);
    if (!n || *n == INT16_MIN) return std::nullopt;
    return static_cast<std::int16_t>(std::abs(*n));
}

void WriteNumber(Registry& registry, const QString& key, const QString& name, std::optional<int> n) {
    if (n) registry.WriteRegString(Hive::CurrentUser, key, name, QString::number(*n));
}

} // namespace

MarkerSettings LoadDownloadMarkerSettings(const Registry& registry, const QString& key) {
    MarkerSettings s;
    s.comment = TrimText(ReadUser(registry, key, QStringLiteral("Marker"), QString()));
    for (int k = 0; k < 4; ++k) {
        MarkerEntry& m = s.markers[static_cast<std::size_t>(k)];
        m.insulinType = ToInt16(ReadUser(registry, key, Indexed("Type_Insulin", k), QString())).value_or(0);
        m.description = ReadUser(registry, key, Indexed("Desc", k), QString());
        m.dataType = ToInt16(ReadUser(registry, key, Indexed("Type", k), QStringLiteral("0"))).value_or(0);
    }
    return s;
}

MarkerSettings LoadDialogMarkerSettings(const Registry& registry, const QString& key) {
    static const char* const kInsulinDefaults[4] = {"9", "10", "13", "2"};
    MarkerSettings s;
    QString glucose = QStringLiteral("1");
    registry.ReadMachineThenUser(key, QStringLiteral("Glucose_Available"), glucose);
    s.glucoseAvailable = BoxValue(glucose);
    QString insulin = QStringLiteral("1");
    registry.ReadMachineThenUser(key, QStringLiteral("Insulin_Available"), insulin);
    s.insulinAvailable = BoxValue(insulin);
    for (int k = 0; k < 4; ++k) {
        MarkerEntry& m = s.markers[static_cast<std::size_t>(k)];
        const QString insulinDefault = QLatin1String(kInsulinDefaults[k]);
        m.insulinType = ToInt16(ReadUser(registry, key, Indexed("Type_Insulin", k), insulinDefault));
        m.description = ReadUser(registry, key, Indexed("Desc", k), QString());
    }
    for (int k = 0; k < 4; ++k)
        s.markers[static_cast<std::size_t>(k)].dataType =
            ToInt16(ReadUser(registry, key, Indexed("Type", k), QStringLiteral("0")));
    s.comment = TrimText(ReadUser(registry, key, QStringLiteral("Marker"), QStringLiteral("!!!")));
    return s;
}

void SaveMarkerSettings(Registry& registry, const QString& key, const MarkerSettings& settings) {
    // The dialog stores the negated box value: a checked box (1) becomes "-1".
    auto negated = [](std::optional<std::int16_t> box) -> std::optional<int> {
        if (!box) return std::nullopt;
        return -static_cast<int>(*box);
    };
    WriteNumber(registry, key, QStringLiteral("Glucose_Available"), negated(settings.glucoseAvailable));
    WriteNumber(registry, key, QStringLiteral("Insulin_Available"), negated(settings.insulinAvailable));
    for (int k = 0; k < 4; ++k) {
        const MarkerEntry& m = settings.markers[static_cast<std::size_t>(k)];
        registry.WriteRegString(Hive::CurrentUser, key, Indexed("Desc", k), m.description);
        WriteNumber(registry, key, Indexed("Type", k), m.dataType);
        WriteNumber(registry, key, Indexed("Type_Insulin", k), m.insulinType);
    }
    registry.WriteRegString(Hive::CurrentUser, key, QStringLiteral("Marker"), settings.comment);
}

} // namespace bdlogic
