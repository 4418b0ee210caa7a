#include "common_code.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace bdlogic {

namespace {
bool IsTrimmable(QChar c) { return c.unicode() < 20 || c.unicode() == 32; }

std::optional<long long> RoundHalfEven(double v, long long lo, long long hi) {
    if (!std::isfinite(v)) return std::nullopt;
    const double r = std::nearbyint(v); // the default rounding mode rounds halves to even
    if (r < static_cast<double>(lo) || r > static_cast<double>(hi)) return std::nullopt;
    return static_cast<long long>(r);
}
} // namespace

QString TrimText(const QString& text) {
    if (text.isEmpty() || text.at(0).unicode() == 0) return {};
    qsizetype end = text.size();
    while (end > 0 && IsTrimmable(text.at(end - 1))) --end;
    qsizetype begin = 0;
    while (begin < end && IsTrimmable(text.at(begin))) ++begin;
    return text.mid(begin, end - begin);
}

int SplitText(const QString& text, QStringList& parts, QChar separator) {
    if (text.isEmpty()) return -1;
    // In one pass (cutting the rest off the text at each separator copied it every time). A trailing separator
    // ends the last part and starts none.
    QStringList found = text.split(separator);
    if (text.endsWith(separator)) found.removeLast();
    parts = std::move(found);
    return static_cast<int>(std::min<qsizetype>(parts.size() - 1, std::numeric_limits<int>::max()));
}

QString CutChar(QString& text, QChar ch) {
    if (text.startsWith(ch)) text.remove(0, 1);
    if (text.endsWith(ch)) text.chop(1);
    QString result = text;
    const qsizetype p = result.indexOf(ch);
    if (p >= 0) result.remove(p, 1);
    return result;
}

int ReplaceText(QString& text, const QString& search, const QString& replacement) {
    if (search.compare(replacement, Qt::CaseInsensitive) == 0) return 0;
    if (search.isEmpty() || replacement.contains(search, Qt::CaseInsensitive)) return 0;
    int count = 0;
    for (qsizetype p = text.indexOf(search, 0, Qt::CaseInsensitive); p >= 0;
         p = text.indexOf(search, 0, Qt::CaseInsensitive)) {
        text.replace(p, search.size(), replacement);
        ++count;
    }
    return count;
}

QString ToLocalDecimal(const QString& number) {
    const QString sep = QLocale().decimalPoint();
    QString out;
    out.reserve(number.size());
    for (QChar c : number) {
        if (c == u'.' || c == u',')
            out += sep;
        else
            out += c;
    }
    return out;
}

double MmolToMgdlValue(double mmol) {
    return std::trunc((mmol * 18.016 * 100 + 5) / 100);
}

std::optional<QString> MmolToMgdl(double mmol) {
    const double mg = MmolToMgdlValue(mmol);
    if (!std::isfinite(mg) || std::fabs(mg) > 2147483647.0) return std::nullopt;
    return QString::number(static_cast<long long>(mg));
}

QString FormatDecimalPoint(double value, const QString& picture) {
    const qsizetype dot = picture.indexOf(u'.');
    const int decimals = dot < 0 ? 0 : static_cast<int>(picture.size() - dot - 1);
    if (!std::isfinite(value)) return {};
    // The platform formatter works on the value's 15 significant digits, so 0.45 (stored as 0.4499999...) shows
    // as 0.5. Take those digits first, then round half away from zero on the decimal text.
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.14e", std::fabs(value));
    // digits: d.dddddddddddddde[+-]XX
    QString mantissa;
    mantissa += QChar(digits[0]);
    for (int i = 2; i < 16; ++i) mantissa += QChar(digits[i]);
    const int exponent = std::atoi(digits + 17);
    // Place the decimal point: the value is 0.mantissa * 10^(exponent + 1).
    int intDigits = exponent + 1;
    QString whole, frac;
    if (intDigits <= 0) {
        whole = QStringLiteral("0");
        frac = QString(-intDigits, u'0') + mantissa;
    } else if (intDigits >= mantissa.size()) {
        whole = mantissa + QString(intDigits - mantissa.size(), u'0');
    } else {
        whole = mantissa.left(intDigits);
        frac = mantissa.mid(intDigits);
    }
    frac = frac.leftJustified(decimals + 1, u'0');
    QString kept = whole + frac.left(decimals);
    if (frac.at(decimals) >= u'5') {
        // Add one to the last kept digit, carrying leftwards.
        qsizetype i = kept.size() - 1;
        for (; i >= 0; --i) {
            if (kept[i] == u'9') {
                kept[i] = u'0';
            } else {
                kept[i] = QChar(kept[i].unicode() + 1);
                break;
            }
        }
        if (i < 0) kept.prepend(u'1');
    }
    const qsizetype wholeLen = kept.size() - decimals;
    QString out = kept.left(wholeLen);
    while (out.size() > 1 && out.startsWith(u'0')) out.remove(0, 1);
    if (decimals > 0) out += u'.' + kept.mid(wholeLen);
    const bool zero = !out.contains(QRegularExpression(QStringLiteral("[1-9]")));
    if (value < 0 && !zero) out.prepend(u'-');
    return out;
}

std::optional<double> ToDouble(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return std::nullopt;
    bool ok = false;
    const double v = QLocale().toDouble(t, &ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<std::int16_t> ToInt16(const QString& text) {
    const auto d = ToDouble(text);
    if (!d) return std::nullopt;
    const auto r = RoundHalfEven(*d, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max());
    if (!r) return std::nullopt;
    return static_cast<std::int16_t>(*r);
}

std::optional<std::int32_t> ToInt32(const QString& text) {
    const auto d = ToDouble(text);
    if (!d) return std::nullopt;
    const auto r = RoundHalfEven(*d, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
    if (!r) return std::nullopt;
    return static_cast<std::int32_t>(*r);
}

std::optional<bool> ToBool(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
    const auto d = ToDouble(t);
    if (!d) return std::nullopt;
    return *d != 0.0;
}

double LeadingNumber(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
    QString number;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) number += text[i++];
    bool dot = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isDigit() && c.unicode() < 128)
            number += c;
        else if (c == u'.' && !dot) {
            dot = true;
            number += c;
        } else
            break;
    }
    bool ok = false;
    const double v = number.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

} // namespace bdlogic
