#pragma once

#include <QString>
#include <type_traits>
#include <utility>

// The small validation and text routines the forms call by these names.
namespace framework {

// True when the text is empty or holds only blanks.
bool EmptyString(const QString& text);

// Rounds half away from zero on the value's shortest decimal text, so that decimal inputs round
// as written: RoundDec(2.675, 2) == 2.68, RoundDec(1.005, 2) == 1.01, RoundDec(-2.5, 0) == -3.
// A negative number of digits counts as 0. The result is never a negative zero.
double RoundDec(double value, int digits);
// The arguments are (value, digits): the swapped order (digits first) must not compile.
template <typename Value>
    requires std::is_floating_point_v<Value>
double RoundDec(int digits, Value value) = delete;

// Brings a code to the width of its key column: trimmed and filled with '0' on the left.
// A longer code is returned trimmed but whole; a blank one stays empty, so that a required check
// after Ajusta still sees that nothing was typed.
QString Ajusta(const QString& text, int width);
// A menu-type code as its key column holds it: a number is brought to its ten digits, a code
// with letters (a menu type named "HOSPITALAR") is kept as typed, trimmed.
QString AjustaTipoCard(const QString& code);

// Both arguments are evaluated, as for any function call.
template <typename A, typename B>
std::common_type_t<std::decay_t<A>, std::decay_t<B>> iif(bool condition, A&& a, B&& b)
{
    using Result = std::common_type_t<std::decay_t<A>, std::decay_t<B>>;
    return condition ? Result(std::forward<A>(a)) : Result(std::forward<B>(b));
}

// The text as a quoted constant of a filter: between single quotes, its own quotes doubled, so
// that a code typed by the user stays one constant ("d'agua" gives "'d''agua'").
QString QuotedStr(const QString& text);

// Reads Brazilian number text (see parseNumber); the default when it is not a number.
double StrToFloatDef(const QString& text, double def);

// Fills on the left with fill up to width; a longer text is returned whole.
QString PadL(const QString& text, int width, QChar fill = QLatin1Char(' '));

// The text without leading and trailing blanks.
QString AllTrim(const QString& text);

// True when the text is a valid time of day: "HH:MM" or "HHMM" (the masked preparation-time
// fields keep no colon), hours 00-23, minutes 00-59. Blanks in the hours read as zeros, as a
// masked edit leaves them (" 130" is 01:30).
bool HorarioOk(const QString& text);

// The number-shape check of quantity cells while typing: true when the text is a (possibly
// unfinished) Brazilian number with at most integerDigits digits before the comma and
// decimalDigits after it. "", "-" and "12," pass; "1,234567" with 5 decimals does not.
bool MaxNumber(const QString& text, int integerDigits, int decimalDigits);

} // namespace framework
