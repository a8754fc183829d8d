#pragma once

#include <QString>

class QObject;

namespace framework {
class Query;
}

namespace recipe {

// Converts a product's quantity between units through the form's qryConvProduto: the product's
// own conversions (CONVPRODUTO) come before the general ones (CONVUNID), and the first candidate
// by ORDEM is used.
class ConversaoUnidade {
public:
    explicit ConversaoUnidade(framework::Query& qryConvProduto);

    // The form's qryConvProduto: candidate factors VRFTCONVER, IDTIPOPE, ORDEM for P_CDPRODUTO
    // from P_SGUNIDADEORI to P_SGUNIDADEDEST.
    static framework::Query* createQryConvProduto(QObject* owner);

    // The quantity in the destination unit; 0 when no conversion exists or its factor is 0.
    // The same unit on both sides leaves the quantity as it is.
    double ConverteUnidade(const QString& produto, const QString& unidadeOrigem, const QString& unidadeDestino,
                           double quantidade) const;

private:
    framework::Query& m_query;
};

} // namespace recipe
