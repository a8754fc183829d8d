#include "framework/core/consiste.h"

#include "framework/data/numberformat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace framework {

bool EmptyString(const QString& text)
{
    return text.trimmed().isEmpty();
}

double RoundDec(double value, int digits)
{
    if (!std::isfinite(value))
        return value;
    digits = std::max(digits, 0);

    // The shortest text that reads back as the same double is the decimal the user meant:
    // 2.675 is stored as 2.67499999..., but its shortest text is "2.675".
    char buffer[400];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                       std::chars_format::fixed);
    std::string text(buffer, written.ptr);
    const auto point = text.find('.');
    if (point == std::string::npos || text.size() - point - 1 <= std::size_t(digits))
        return value == 0 ? 0.0 : value;

    const bool roundUp = text[point + 1 + digits] >= '5';
    std::string kept = text.substr(0, point) + text.substr(point + 1, digits);
    if (roundUp) {
        auto i = kept.size();
        while (i > 0 && kept[i - 1] == '9')
            kept[--i] = '0';
        if (i == 0)
            kept.insert(kept.begin(), '1');
        else
            ++kept[i - 1];
    }
    kept.insert(kept.size() - digits, 1, '.');

    double magnitude = 0;
    std::from_chars(kept.data(), kept.data() + kept.size(), magnitude);
    if (magnitude == 0)
        return 0.0;
    return value < 0 ? -magnitude : magnitude;
}

QString Ajusta(const QString& text, int width)
{
    const QString code = text.trimmed();
    if (code.isEmpty())
        return code;
    return code.rightJustified(width, QLatin1Char('0'));
}

QString AjustaTipoCard(const QString& code)
{
    const QString trimmed = code.trimmed();
    for (const QChar c : trimmed)
        if (!c.isDigit())
            return trimmed;
    return Ajusta(trimmed, 10);
}

QString QuotedStr(const QString& text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

double StrToFloatDef(const QString& text, double def)
{
    double value = def;
    return parseNumber(text, value) ? value : def;
}

QString PadL(const QString& text, int width, QChar fill)
{
    return text.rightJustified(width, fill);
}

QString AllTrim(const QString& text)
{
    return text.trimmed();
}

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Two characters read as a number of 00..max; blanks before the digits count as zeros.
bool twoDigitsAtMost(QStringView text, int max, bool blanksAsZeros)
{
    int value = 0;
    bool digitSeen = false;
    for (const QChar c : text) {
        if (c == QLatin1Char(' ') && blanksAsZeros && !digitSeen) {
            value *= 10;
            continue;
        }
        if (!isAsciiDigit(c))
            return false;
        digitSeen = true;
        value = value * 10 + c.digitValue();
    }
    return (digitSeen || blanksAsZeros) && value <= max;
}

} // namespace

bool HorarioOk(const QString& text)
{
    QString digits = text;
    if (digits.size() == 5 && digits.at(2) == QLatin1Char(':'))
        digits.remove(2, 1);
    if (digits.size() != 4)
        return false;
    return twoDigitsAtMost(QStringView(digits).left(2), 23, true)
        && twoDigitsAtMost(QStringView(digits).right(2), 59, false);
}

bool MaxNumber(const QString& text, int integerDigits, int decimalDigits)
{
    int integers = 0;
    int decimals = 0;
    bool afterComma = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('-') && i == 0)
            continue;
        if (c == QLatin1Char(',') && !afterComma) {
            afterComma = true;
            continue;
        }
        if (c == QLatin1Char('.') && !afterComma)
            continue; // thousands separator
        if (!isAsciiDigit(c))
            return false;
        ++(afterComma ? decimals : integers);
    }
    return integers <= integerDigits && decimals <= decimalDigits;
}

} // namespace framework
