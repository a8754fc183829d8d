#include "conversaounidade.h"

#include "framework/core/consiste.h"
#include "framework/ui/query.h"

namespace recipe {

ConversaoUnidade::ConversaoUnidade(framework::Query& qryConvProduto) : m_query(qryConvProduto) {}

framework::Query* ConversaoUnidade::createQryConvProduto(QObject* owner)
{
    // A product's conversion row says how many of the product's own unit one conversion unit
    // holds: from the conversion unit it multiplies (ORDEM 1), towards it it divides (ORDEM 0).
    // CONVUNID rows convert SGUNIDDE to SGUNIDPARA as stored (ORDEM 2) or backwards (ORDEM 3).
    auto* query = new framework::Query(owner, QStringLiteral("qryConvProduto"));
    query->setSQL(QStringLiteral(
        "SELECT C.VRFATOCONVES AS VRFTCONVER, '/' AS IDTIPOPE, 0 AS ORDEM "
        "FROM CONVPRODUTO C JOIN PRODUTO P ON P.CDPRODUTO = C.CDPRODUTO "
        "WHERE C.CDPRODUTO = :P_CDPRODUTO AND P.SGUNIDADE = :P_SGUNIDADEORI AND C.SGUNIDADE = :P_SGUNIDADEDEST "
        "UNION ALL "
        "SELECT C.VRFATOCONVES AS VRFTCONVER, '*' AS IDTIPOPE, 1 AS ORDEM "
        "FROM CONVPRODUTO C JOIN PRODUTO P ON P.CDPRODUTO = C.CDPRODUTO "
        "WHERE C.CDPRODUTO = :P_CDPRODUTO AND P.SGUNIDADE = :P_SGUNIDADEDEST AND C.SGUNIDADE = :P_SGUNIDADEORI "
        "UNION ALL "
        "SELECT VRFTCONVER, IDTIPOPE, 2 AS ORDEM FROM CONVUNID "
        "WHERE SGUNIDDE = :P_SGUNIDADEORI AND SGUNIDPARA = :P_SGUNIDADEDEST "
        "UNION ALL "
        "SELECT VRFTCONVER, IDTIPOPE, 3 AS ORDEM FROM CONVUNID "
        "WHERE SGUNIDDE = :P_SGUNIDADEDEST AND SGUNIDPARA = :P_SGUNIDADEORI "
        "ORDER BY ORDEM"));
    return query;
}

double ConversaoUnidade::ConverteUnidade(const QString& produto, const QString& unidadeOrigem,
                                         const QString& unidadeDestino, double quantidade) const
{
    const QString from = unidadeOrigem.trimmed();
    const QString to = unidadeDestino.trimmed();
    if (from == to)
        return quantidade;

    m_query.Close();
    m_query.setParam(QStringLiteral("P_CDPRODUTO"), produto.trimmed());
    m_query.setParam(QStringLiteral("P_SGUNIDADEORI"), from);
    m_query.setParam(QStringLiteral("P_SGUNIDADEDEST"), to);
    m_query.Open();
    if (m_query.IsEmpty())
        return 0;

    const double factor = m_query.FieldByName(QStringLiteral("VRFTCONVER"))->AsFloat();
    const bool multiplies = m_query.FieldByName(QStringLiteral("IDTIPOPE"))->AsString() == QLatin1String("*");
    const bool reverse = m_query.FieldByName(QStringLiteral("ORDEM"))->AsInteger() == 3;
    // A reverse general conversion undoes the stored operation.
    if (multiplies != reverse)
        return quantidade * factor;
    if (framework::RoundDec(factor, 5) == 0)
        return 0;
    return quantidade / factor;
}

} // namespace recipe
