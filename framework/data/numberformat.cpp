#include "framework/data/numberformat.h"

#include "framework/core/consiste.h"

#include <charconv>
#include <cmath>

namespace framework {

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The value as plain decimal text ("-1234.5"): with exactly `decimals` decimals when decimals >= 0,
// else the shortest text that reads back as the same value.
QString decimalText(double value, int decimals)
{
    char buffer[400];
    const auto written = decimals < 0
        ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed)
        : std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return QString::fromLatin1(buffer, written.ptr - buffer);
}

// Thousands separated by '.'.
QString grouped(const QString& integerDigits)
{
    QString text;
    const auto count = integerDigits.size();
    for (qsizetype i = 0; i < count; ++i) {
        if (i > 0 && (count - i) % 3 == 0)
            text += QLatin1Char('.');
        text += integerDigits.at(i);
    }
    return text;
}

// What a pattern asks for: the text around the number and the shape of the number itself.
struct Pattern {
    QString prefix;
    QString suffix;
    bool grouping = false;
    int minIntegers = 0;
    int minDecimals = 0;
    int maxDecimals = 0;

    // False when the pattern holds no digit placeholder (an empty pattern among them).
    bool read(const QString& text)
    {
        const auto isPlaceholder = [](QChar c) { return c == QLatin1Char('0') || c == QLatin1Char('#'); };
        qsizetype first = 0;
        while (first < text.size() && !isPlaceholder(text.at(first)))
            ++first;
        if (first == text.size())
            return false;
        if (first > 0 && text.at(first - 1) == QLatin1Char('.'))
            --first; // ".00": decimals only
        qsizetype last = text.size() - 1;
        while (!isPlaceholder(text.at(last)))
            --last;
        // A '.' right after the last placeholder still opens the decimals ("0." has none).
        qsizetype numberEnd = last + 1;
        if (numberEnd < text.size() && text.at(numberEnd) == QLatin1Char('.'))
            ++numberEnd;
        prefix = text.left(first);
        suffix = text.mid(numberEnd);

        bool inDecimals = false;
        for (qsizetype i = first; i < numberEnd; ++i) {
            const QChar c = text.at(i);
            if (c == QLatin1Char('.')) {
                inDecimals = true;
            } else if (c == QLatin1Char(',')) {
                grouping = grouping || !inDecimals;
            } else if (inDecimals && isPlaceholder(c)) {
                ++maxDecimals;
                if (c == QLatin1Char('0'))
                    minDecimals = maxDecimals;
            } else if (c == QLatin1Char('0')) {
                ++minIntegers;
            }
        }
        return true;
    }
};

} // namespace

QString formatNumber(double value, const QString& pattern)
{
    if (!std::isfinite(value))
        return {};

    Pattern shape;
    QString digits; // "1234.50000", no sign
    if (shape.read(pattern)) {
        value = RoundDec(value, shape.maxDecimals);
        digits = decimalText(std::fabs(value), shape.maxDecimals);
    } else {
        shape.minIntegers = 1;
        digits = decimalText(std::fabs(value), -1);
    }

    const auto point = digits.indexOf(QLatin1Char('.'));
    QString integers = point < 0 ? digits : digits.left(point);
    QString decimals = point < 0 ? QString() : digits.mid(point + 1);
    while (decimals.size() > shape.minDecimals && decimals.endsWith(QLatin1Char('0')))
        decimals.chop(1);
    if (integers == QLatin1String("0") && shape.minIntegers == 0)
        integers.clear();
    integers = integers.rightJustified(shape.minIntegers, QLatin1Char('0'));

    QString text;
    if (value < 0)
        text += QLatin1Char('-');
    text += shape.prefix;
    text += shape.grouping ? grouped(integers) : integers;
    if (!decimals.isEmpty())
        text += QLatin1Char(',') + decimals;
    text += shape.suffix;
    return text;
}

bool parseNumber(const QString& text, double& value)
{
    const QString trimmed = text.trimmed();
    qsizetype i = 0;
    std::string plain; // in the C form that from_chars reads
    if (i < trimmed.size() && (trimmed.at(i) == QLatin1Char('-') || trimmed.at(i) == QLatin1Char('+'))) {
        if (trimmed.at(i) == QLatin1Char('-'))
            plain += '-';
        ++i;
    }

    // Integer part: plain digits, or groups of three after the first when '.' separates them.
    int digitsInGroup = 0;
    int digitCount = 0;
    bool groupedPart = false;
    for (; i < trimmed.size() && trimmed.at(i) != QLatin1Char(','); ++i) {
        const QChar c = trimmed.at(i);
        if (c == QLatin1Char('.')) {
            if (digitsInGroup == 0 || (groupedPart && digitsInGroup != 3) || digitsInGroup > 3)
                return false;
            groupedPart = true;
            digitsInGroup = 0;
        } else if (isAsciiDigit(c)) {
            plain += char(c.unicode());
            ++digitsInGroup;
            ++digitCount;
        } else {
            return false;
        }
    }
    if (groupedPart && digitsInGroup != 3)
        return false;

    if (i < trimmed.size()) { // the comma
        plain += '.';
        for (++i; i < trimmed.size(); ++i) {
            if (!isAsciiDigit(trimmed.at(i)))
                return false;
            plain += char(trimmed.at(i).unicode());
            ++digitCount;
        }
    }
    if (digitCount == 0)
        return false;

    double result = 0;
    const char* end = plain.data() + plain.size();
    const auto parsed = std::from_chars(plain.data(), end, result);
    if (parsed.ec != std::errc() || parsed.ptr != end)
        return false;
    value = result == 0 ? 0.0 : result;
    return true;
}

} // namespace framework
