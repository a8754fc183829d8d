#pragma once

#include <QString>

namespace framework {

// Number patterns of the forms ("#,##0.00000", "##0.00000", "#,##0.00 %", "#,###,##0.00000",
// "0.00", "#,##0") rendered the Brazilian way: ',' as decimal separator and '.' grouping
// thousands. In a pattern '0' is a digit always shown, '#' a digit shown when significant,
// ',' switches grouping on, '.' marks the decimals; other characters are copied as they stand
// (a '%' does not scale the value). An empty pattern gives the shortest exact text.
// Rounding is half away from zero on the decimal value.
QString formatNumber(double value, const QString& pattern);

// Reads Brazilian number text ("1.234,56", "-0,5", ",5", "12"); '.' groups are ignored.
// Returns false (and leaves value alone) when the text is not a number.
bool parseNumber(const QString& text, double& value);

} // namespace framework
