#include "info_block.h"

#include "startup/field_splitter.h"

namespace bdlogic {

std::optional<QString> MeterIdFromInfo(const QString& info) {
    FieldSplitter fields(QStringLiteral(","));
    fields.setText(info);
    const QString field = fields.field(13);
    const qsizetype cr = field.indexOf(u'\r');
    if (cr < 0) return std::nullopt;
    return field.left(cr);
}

} // namespace bdlogic
