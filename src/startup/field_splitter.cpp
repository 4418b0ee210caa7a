#include "field_splitter.h"

namespace bdlogic {

void FieldSplitter::setSeparator(const QString& separator) {
    separator_ = separator;
    split();
}

void FieldSplitter::setText(const QString& text) {
    text_ = text;
    split();
}

QString FieldSplitter::field(qsizetype n) const {
    if (n == 0) return text_;
    if (n < 0 || n > fields_.size()) return {};
    return fields_.at(n - 1);
}

void FieldSplitter::split() {
    fields_.clear();
    if (text_.isEmpty()) return;
    if (separator_.isEmpty()) {
        fields_.append(text_);
        return;
    }
    fields_ = text_.split(separator_, Qt::KeepEmptyParts, Qt::CaseSensitive);
}

} // namespace bdlogic
