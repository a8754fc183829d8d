#include "framework/abort.h"
#include "framework/core/consiste.h"
#include "framework/data/filterexpression.h"

#include <QDateTime>
#include <gtest/gtest.h>

using framework::FilterExpression;

namespace {

// One row of a dataset: field names (matched without regard to case) and their values.
struct Row {
    QStringList names{"CDPRATO", "CDFILAUXPRAT", "NMPRATO", "QTPROD", "NRNIVEL", "IDATIVO", "DTALTER", "DSOBS", "DTLOCAL"};
    // Date-times are wall-clock values, whether tagged UTC (as the dataset keeps them) or local.
    QVariantList values{QStringLiteral("1010010001"), QStringLiteral("P"), QStringLiteral("Arroz d'água"),
                        12.5, qint64(4), true, QDateTime(QDate(2024, 3, 15), QTime(10, 30), Qt::UTC), QVariant(),
                        QDateTime(QDate(2024, 3, 15), QTime(10, 30))};

    int column(const QString& name) const
    {
        for (int i = 0; i < names.size(); ++i)
            if (names[i].compare(name, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }

    bool matches(const QString& filter) const
    {
        FilterExpression expression = FilterExpression::parse(filter);
        expression.bind([this](const QString& name) { return column(name); });
        return expression.evaluate([this](int c) { return values.at(c); });
    }
};

QString errorOf(const QString& filter)
{
    try {
        Row().matches(filter);
    } catch (const framework::Error& e) {
        return e.message();
    }
    return {};
}

} // namespace

TEST(FilterExpression, ComparesTextExactly)
{
    const Row row;
    EXPECT_TRUE(row.matches("CDPRATO = '1010010001' and CDFILAUXPRAT = 'P'"));
    EXPECT_FALSE(row.matches("CDFILAUXPRAT = 'p'"));
    EXPECT_FALSE(row.matches("CDFILAUXPRAT = 'P '"));
    EXPECT_TRUE(row.matches("NMPRATO = 'Arroz d''água'"));
    EXPECT_TRUE(row.matches("NMPRATO = " + framework::QuotedStr("Arroz d'água")));
    EXPECT_FALSE(row.matches("CDPRATO = " + framework::QuotedStr("x' or CDPRATO <> 'x")));
    EXPECT_TRUE(row.matches("cdprato >= '101' AND CdPrato < '102'"));
    // A number beside a text field is read as the text it is written with.
    EXPECT_TRUE(row.matches("CDFILAUXPRAT <> 1"));
    EXPECT_FALSE(row.matches("CDPRATO > '2'"));
}

TEST(FilterExpression, ComparesNumbersAndDates)
{
    const Row row;
    EXPECT_TRUE(row.matches("QTPROD = 12.5"));
    EXPECT_TRUE(row.matches("QTPROD = 12,5"));
    EXPECT_TRUE(row.matches("QTPROD = '12,5'"));
    EXPECT_TRUE(row.matches("QTPROD > 9")); // numerically, not "12.5" < "9" as text
    EXPECT_TRUE(row.matches("NRNIVEL = 4 and NRNIVEL >= -1 and NRNIVEL <> +5"));
    EXPECT_TRUE(row.matches("IDATIVO = 1 and IDATIVO = 'true'"));
    EXPECT_TRUE(row.matches("DTALTER = '2024-03-15T10:30:00'"));
    EXPECT_TRUE(row.matches("DTALTER > '2024-03-15' and DTALTER < '2024-03-16'"));
    EXPECT_TRUE(row.matches("DTLOCAL = '2024-03-15T10:30:00' and DTALTER = DTLOCAL"));
    EXPECT_FALSE(row.matches("DTALTER > '2024-03-15T10:30:00.001'"));
    EXPECT_TRUE(row.matches("QTPROD > NRNIVEL and not (CDPRATO = NMPRATO)"));
}

TEST(FilterExpression, NullMatchesOnlyIsNull)
{
    const Row row;
    EXPECT_TRUE(row.matches("DSOBS is null"));
    EXPECT_FALSE(row.matches("DSOBS IS NOT NULL"));
    EXPECT_TRUE(row.matches("CDPRATO IS NOT NULL"));
    EXPECT_FALSE(row.matches("DSOBS = ''"));
    EXPECT_FALSE(row.matches("DSOBS <> ''"));
    EXPECT_FALSE(row.matches("DSOBS like '%'"));
    EXPECT_FALSE(row.matches("DSOBS not like 'x%'"));
}

TEST(FilterExpression, LikeMatchesWildcards)
{
    const Row row;
    EXPECT_TRUE(row.matches("CDPRATO LIKE '101%'"));
    EXPECT_TRUE(row.matches("CDPRATO like '%0001'"));
    EXPECT_TRUE(row.matches("CDPRATO LIKE '1_1%1'"));
    EXPECT_TRUE(row.matches("CDPRATO LIKE '%%'"));
    EXPECT_FALSE(row.matches("CDPRATO LIKE '101'"));
    EXPECT_FALSE(row.matches("CDPRATO LIKE '1010010001_'"));
    EXPECT_FALSE(row.matches("NMPRATO LIKE 'arroz%'"));
    EXPECT_TRUE(row.matches("NMPRATO NOT LIKE 'arroz%'"));
    EXPECT_TRUE(row.matches("NMPRATO LIKE '%d''á%'"));
    EXPECT_TRUE(row.matches("NRNIVEL LIKE '4'"));
}

TEST(FilterExpression, AndBindsTighterThanOr)
{
    const Row row;
    EXPECT_TRUE(row.matches("CDFILAUXPRAT = 'X' and QTPROD = 0 or NRNIVEL = 4"));
    EXPECT_FALSE(row.matches("CDFILAUXPRAT = 'X' and (QTPROD = 0 or NRNIVEL = 4)"));
    EXPECT_TRUE(row.matches("not CDFILAUXPRAT = 'X' and not not NRNIVEL = 4"));
    EXPECT_TRUE(row.matches("((NRNIVEL = 4))"));
    EXPECT_TRUE(row.matches("   "));
}

TEST(FilterExpression, MalformedFiltersFailWithPosition)
{
    const QString prefix = QStringLiteral("Filtro inválido: ");
    const struct {
        const char* filter;
        const char* message;
    } cases[] = {
        {"(CDPRATO = '1'", "parêntese aberto sem fechamento (posição 1)"},
        {"CDPRATO = '1')", "')' sem o '(' correspondente (posição 14)"},
        {"CDPRATO = '1", "texto entre aspas sem a aspa de fechamento (posição 11)"},
        {"CDPRATO =", "falta o valor depois de '=' (posição 10)"},
        {"CDPRATO = and", "falta o valor depois de '=' (posição 11)"},
        {"CDPRATO", "falta o operador depois de 'CDPRATO' (posição 8)"},
        {"CDPRATO = '1' xyz", "texto inesperado 'xyz' (posição 15)"},
        {"CDPRATO = '1' and", "falta uma condição (posição 18)"},
        {"()", "falta uma condição (posição 2)"},
        {"CDPRATO LIKE 1", "LIKE espera um texto entre aspas (posição 14)"},
        {"CDPRATO = NULL", "compare com nulo usando IS NULL (posição 11)"},
        {"CDPRATO IS 'x'", "esperado NULL depois de IS (posição 12)"},
        {"CDPRATO # 1", "caractere inesperado '#' (posição 9)"},
        {"QTPROD = 12a", "número mal formado (posição 10)"},
        {"CDPRODUTO = '1'", "campo 'CDPRODUTO' não existe (posição 1)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(errorOf(QString::fromUtf8(c.filter)), prefix + QString::fromUtf8(c.message)) << c.filter;
}

TEST(FilterExpression, DeepNestingFailsInsteadOfOverflowing)
{
    const QString deep = QString(100000, QLatin1Char('(')) + "NRNIVEL = 4" + QString(100000, QLatin1Char(')'));
    EXPECT_TRUE(errorOf(deep).startsWith("Filtro inválido: aninhamento excessivo"));
    EXPECT_TRUE(errorOf(QString("not ").repeated(100000) + "NRNIVEL = 4").startsWith("Filtro inválido:"));

    QStringList terms(20000, QStringLiteral("NRNIVEL = 3"));
    terms.append(QStringLiteral("NRNIVEL = 4"));
    EXPECT_TRUE(Row().matches(terms.join(" or ")));
}
