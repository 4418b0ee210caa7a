#include "entry_lines.h"

#include "ole_date.h"
#include "startup/common_code.h"

namespace bdlogic {

namespace {

// Columns each followed by "|"; the line drops the trailing ones, so empty last columns vanish.
class Columns {
public:
    Columns() { text_.reserve(64); }
    Columns& operator<<(const QString& column) {
        text_ += column;
        text_ += u'|';
        return *this;
    }
    QString line() const {
        qsizetype end = text_.size();
        while (end > 0 && text_.at(end - 1) == u'|')
            --end;
        return text_.left(end);
    }

private:
    QString text_;
};

QString Date(double day) {
    return FormatDdMmYyyy(day).value_or(QString());
}
QString Time(double day) {
    return FormatHhNn(day).value_or(QString());
}
QString Positive(int n) {
    return n > 0 ? PlainDecimal(n) : QString();
}
QString NonZero(int n) {
    return n != 0 ? PlainDecimal(n) : QString();
}
// Flags are tested as the platform tests booleans: any value but 0 is True.
QString SkipMark(std::int16_t skip) {
    return skip != 0 ? QStringLiteral("1") : QString();
}
QString OneDecimal(double v) {
    return v > 0 ? FormatDecimalPoint(v, QStringLiteral("0.0")) : QString();
}
QString WholeNumber(double v) {
    return v > 0 ? FormatDecimalPoint(v, QStringLiteral("0")) : QString();
}

// Line breaks and "|" would break the line into fields.
QString Cleaned(QString text) {
    ReplaceText(text, QStringLiteral("\r\n"), QStringLiteral(" "));
    ReplaceText(text, QStringLiteral("|"), QStringLiteral(" "));
    return text;
}

QString Comment(const QString& comment, const QString& comment2) {
    return TrimText(Cleaned(comment) + comment2);
}

} // namespace

QString GlucoseLine(const GlucoseRecord& r) {
    Columns c;
    c << Date(r.DATE) << Time(r.TIME) << PlainDecimal(r.BG) << Positive(r.EVENT) << r.EVENT_DESC
      << Comment(r.COMMENT, r.COMMENT2) << NonZero(r.CONTROL) << SkipMark(r.SKIP);
    return c.line();
}

QString InsulinLine(const InsulinRecord& r) {
    Columns c;
    c << Date(r.DATE) << Time(r.TIME) << OneDecimal(r.I1) << OneDecimal(r.I2)
      << (r.RAPID != 0 ? QStringLiteral("-1") : QString()) << r.TYPE << Positive(r.EVENT) << r.EVENT_DESC
      << Comment(r.COMMENT, r.COMMENT2) << SkipMark(r.SKIP);
    return c.line();
}

QString IntakeLine(const IntakeRecord& r) {
    Columns c;
    c << Date(r.DATE) << Time(r.TIME) << OneDecimal(r.BU) << OneDecimal(r.CARBO) << OneDecimal(r.FAT)
      << OneDecimal(r.PROTEIN) << OneDecimal(r.WATER) << OneDecimal(r.CHOL) << OneDecimal(r.FIBRES)
      << WholeNumber(r.KCAL) << Cleaned(r.DESC) << Positive(r.EVENT) << r.EVENT_DESC
      << Comment(r.COMMENT, r.COMMENT2) << SkipMark(r.SKIP);
    return c.line();
}

QString ExerciseLine(const ExerciseRecord& r) {
    Columns c;
    c << Date(r.DATE) << Time(r.TIME) << Positive(r.MMM) << TrimText(Cleaned(r.DESC)) << Positive(r.EVENT)
      << QString() << Comment(r.COMMENT, r.COMMENT2) << SkipMark(r.SKIP);
    return c.line();
}

QString MedicineLine(const MedicineRecord& r) {
    Columns c;
    c << Date(r.DATE) << Time(r.TIME) << OneDecimal(r.NNN) << r.DESC << Positive(r.TYP) << Positive(r.EVENT)
      << Comment(r.COMMENT, r.COMMENT2) << SkipMark(r.SKIP);
    return c.line();
}

} // namespace bdlogic
