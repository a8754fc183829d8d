#pragma once

// The names the files of the ingredient-list page share (paginareceita*.cpp).
#include "framework/data/clientdataset.h"

#include <QString>

#include <utility>

namespace framework {
class TColumn;
class TDBGrid;
} // namespace framework

namespace recipe::ingredientes {

using framework::ClientDataSet;
using framework::Field;
using framework::TColumn;
using framework::TDBGrid;
using State = ClientDataSet::State;

// Kind of the supervisor authorisations of recipe rows.
constexpr int kindReceita = 4;
inline const QString cdArvProd = QStringLiteral("CDARVPROD");
inline const QString cdProduto = QStringLiteral("CDPRODUTO");
inline const QString sgUnidade = QStringLiteral("SGUNIDADE");
inline const QString sgUnidProd = QStringLiteral("SGUNIDPROD");
inline const QString cdApreRece = QStringLiteral("CDAPRERECE");

// The texts of the requisition types, by code.
inline constexpr std::pair<const char*, const char*> tiposRequisicao[] = {
    {"P", "Producao"}, {"D", "Distribuicao"}, {"E", "Entrega_Direta"}, {"F", "Finalizacao"}};

inline bool startsWith(const QString& name, const QString& prefix)
{
    return !prefix.isEmpty() && name.startsWith(prefix, Qt::CaseInsensitive);
}

// The columns of the base-product and fixed-quantity flags.
inline bool isFlagColumn(const QString& name)
{
    return startsWith(name, QStringLiteral("IDPRODBASE")) || startsWith(name, QStringLiteral("IDQTDEFIX"));
}

} // namespace recipe::ingredientes
