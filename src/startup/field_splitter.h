// Splits a text into numbered fields at a separator of one or more characters (the command line at "|", the
// meter's answers at CR LF and at ",").
#pragma once

#include <QString>
#include <QStringList>

namespace bdlogic {

class FieldSplitter {
public:
    explicit FieldSplitter(QString separator = QStringLiteral(" ")) : separator_(std::move(separator)) {}

    // Applies to every text given afterwards; the splitter keeps it between texts.
    void setSeparator(const QString& separator);
    // Field 0: the whole text to split.
    void setText(const QString& text);

    // Number of fields; empty fields between adjacent separators count, an empty text has none.
    qsizetype count() const { return fields_.size(); }
    // Field n counted from 1; 0 gives the whole text, a field beyond the last one is empty.
    QString field(qsizetype n) const;

private:
    void split();

    QString separator_;
    QString text_;
    QStringList fields_;
};

} // namespace bdlogic
