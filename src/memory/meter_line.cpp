#include "meter_line.h"

#include "importfile/ole_date.h"
#include "startup/common_code.h"

namespace bdlogic {

std::optional<double> MeterDate(const QString& field) {
    const auto year = ToInt16(field.left(4));
    const auto month = ToInt16(field.mid(4, 2));
    const auto day = ToInt16(field.right(2));
    if (!year || !month || !day) return std::nullopt;
    return OleDate(*year, *month, *day);
}

std::optional<double> MeterTime(const QString& field) {
    const auto hour = ToInt16(field.left(2));
    const auto minute = ToInt16(field.right(2));
    if (!hour || !minute) return std::nullopt;
    return OleTime(*hour, *minute);
}

QString MeterValueText(const QString& field) {
    // One pass does what ReplaceText's repeated search does here: a "0" never makes a new blank.
    QString value = field;
    value.replace(u' ', u'0');
    return value;
}

} // namespace bdlogic
