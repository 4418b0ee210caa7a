// Small text and number helpers shared by every part of the program.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace bdlogic {

// Strips characters below code 20 and blanks at both ends (codes 20..31 stay). A text whose first character is
// NUL is empty.
QString TrimText(const QString& text);
// The registry module's copy of TrimText.
inline QString TrimValue(const QString& text) { return TrimText(text); }

// Splits at a one-character separator into `parts` (resized to the result + 1). Returns the highest index
// filled, -1 for an empty text (then `parts` is left as it was). A trailing separator gives no empty last part.
int SplitText(const QString& text, QStringList& parts, QChar separator);

// Removes a leading and a trailing `ch` from `text` (in place); returns the result without the first `ch` that
// remains.
QString CutChar(QString& text, QChar ch);

// Replaces, ignoring case, the first occurrence of `search` again and again, each time searching from the start,
// until none is left. Returns the number of replacements; 0 when search and replacement are equal ignoring case.
// A replacement that contains the search text is refused (returns 0) since the loop would never end.
int ReplaceText(QString& text, const QString& search, const QString& replacement);

// Every "." and "," becomes the system's decimal separator.
QString ToLocalDecimal(const QString& number);

// mg/dl text of a mmol/L value: whole part of (value * 18.016 * 100 + 5) / 100. Empty for a value that has
// no whole part in range (not finite or beyond 32 bits).
std::optional<QString> MmolToMgdl(double mmol);
// The same whole part as a number (not finite for a value that is not).
double MmolToMgdlValue(double mmol);

// Formats with a picture "0" or "0.0..." (rounding half away from zero on the value's 15-digit decimal form,
// as the platform's formatter does) and writes "." as decimal point whatever the locale.
QString FormatDecimalPoint(double value, const QString& picture);

// Conversions of texts in the system's number format. A text that is not a number, or does not fit, gives
// nothing: the calling statement is then skipped.
std::optional<double> ToDouble(const QString& text);
// Rounds a fractional value to the nearest integer, halves to the even neighbour.
std::optional<std::int16_t> ToInt16(const QString& text);
std::optional<std::int32_t> ToInt32(const QString& text);
// True for the word True or a non-zero number, False for the word False or zero.
std::optional<bool> ToBool(const QString& text);
// The decimal number at the start of a text (blanks skipped, "." as decimal point); 0 when there is none.
double LeadingNumber(const QString& text);

// Plain decimal: digits with a leading "-" for negative values.
inline QString PlainDecimal(long long value) { return QString::number(value); }

} // namespace bdlogic
