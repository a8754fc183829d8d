// The ingredient-list page's product search: the product list of the search, the product code
// typed or chosen, its unit and presentation lookups, and the recipe's inactive products.
#include "paginareceita.h"
#include "paginareceita_campos.h"

#include "recipe/core/contextoreceita.h"
#include "recipe/core/levelfields.h"
#include "recipe/core/respostaservidor.h"

#include "framework/core/consiste.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/forms/column.h"
#include "framework/forms/dbgrid.h"
#include "framework/ui/messages.h"
#include "framework/ui/query.h"
#include "framework/ui/search.h"
#include "framework/ui/tabvalid.h"
#include "server/connection.h"

namespace recipe {

// The names the page's files share, with the framework's types they use.
using namespace ingredientes;

void PaginaReceita::preencheListaProdutos()
{
    const QString grouping = m_nivel.level == Level::TpCard
                                 ? QString()
                                 : m_contexto.parametrosGerais().Active() ? m_contexto.parametrosGerais().FieldByName(
                                                                        QStringLiteral("CDGRUPPROD"))->AsString()
                                                                  : QString();
    // The menu-type page reads the products anew at each search.
    const bool reload = m_regras.recarregaProdutos;
    if (flagGeral("IDCACHPRODFI") != u"S") {
        if (reload || !m_pesquisaProd->Active() || m_pesquisaProd->IsEmpty())
            loadPacket(m_pesquisaProd, m_contexto.servidor().call(QStringLiteral("getPesqProduto"),
                                                                     {niveisProduto(), grouping}));
        m_pesqProd->CopyFrom(*m_pesquisaProd);
        return;
    }
    if (reload || !m_produtoCache->Active() || m_produtoCache->IsEmpty())
        loadPacket(m_produtoCache, m_contexto.servidor().call(QStringLiteral("GetProdutoCache"),
                                                                 {niveisProduto(), m_contexto.filialTrabalho(), grouping}));
    m_pesqProd->CopyFrom(*m_produtoCache);
}

void PaginaReceita::Vd_CdProduto(bool required)
{
    if (!inserindo())
        return;
    QString code = campo(cdArvProd)->AsString().trimmed();
    if (code.isEmpty()) {
        if (required)
            falha(QStringLiteral("COD_EMPTY"), cdArvProd);
        return;
    }
    if (!framework::Tabvalid::ValidEx(m_fonte, 0, code, framework::Tabvalid::voNivelCompleto, {}, false))
        falha(QStringLiteral("PROD_NCAD"), cdArvProd);
    m_qryVdProduto->Close();
    m_qryVdProduto->setParam(QStringLiteral("P_CDARVPROD"), code);
    m_qryVdProduto->Open();
    if (m_qryVdProduto->IsEmpty())
        falha(QStringLiteral("PROD_NCAD"), cdArvProd);

    preencheListaProdutos();
    const bool cache = flagGeral("IDCACHPRODFI") == u"S";
    const QString grouping =
        m_contexto.parametrosGerais().Active() ? m_contexto.parametrosGerais().FieldByName(QStringLiteral("CDGRUPPROD"))->AsString().trimmed()
                                       : QString();
    const bool found = m_pesqProd->Locate(cdArvProd, code);
    if (!found) {
        if (m_nivel.level == Level::TpCard) {
            if (cache)
                falha(QStringLiteral("PROD_INATIVO"), cdArvProd);
        } else if (!cache) {
            if (!grouping.isEmpty())
                falha(QStringLiteral("PROD_NCAD_GRUP_PROD"), cdArvProd);
        } else {
            falha(grouping.isEmpty() ? QStringLiteral("PROD_INATIVO") : QStringLiteral("PROD_INATIVO_GRUP_PROD"), cdArvProd);
        }
    }

    const QString product = m_qryVdProduto->FieldByName(cdProduto)->AsString();
    const QVariant status = m_contexto.servidor().call(QStringLiteral("Verif_Status_Prod"),
                                                          {filialStatus(), niveisProduto(), code});
    if (status.toString() == u"PROD_INATIVO")
        falha(QStringLiteral("PROD_INATIVO"), cdArvProd);
    if (m_contexto.servidor().call(QStringLiteral("GetVerifProd"), {m_contexto.filialTrabalho(), product}).toBool())
        falha(QStringLiteral("PROD_N_ESTQ"), cdArvProd);
    if (m_contexto.produtosVerificados().Active()) {
        m_contexto.produtosVerificados().setFilter(QStringLiteral("CDPRODUTO = ") + framework::QuotedStr(product));
        m_contexto.produtosVerificados().setFiltered(true);
    }
    if (product != m_qryVdProduto->FieldByName(QStringLiteral("CDPRODESTO"))->AsString())
        falha(QStringLiteral("PROD_ESTO"), cdArvProd);

    const QString owner = m_contexto.pratos().FieldByName(QStringLiteral("CDFILAUXPRAT"))->AsString();
    const QString dish = m_contexto.pratos().FieldByName(QStringLiteral("CDPRATO"))->AsString();
    if (m_verif->Active()
        && m_verif->Locate(QStringLiteral("CDFILAUXPRAT;CDPRATO;CDPRODUTO"), QVariantList{owner, dish, product}))
        falha(m_regras.duplicado, cdArvProd);

    campo(cdProduto)->setAsString(product);
    campo(QStringLiteral("NMPRODUTO"))->setAsString(m_qryVdProduto->FieldByName(QStringLiteral("NMPRODUTO"))->AsString());
    campo(sgUnidProd)->setAsString(m_qryVdProduto->FieldByName(sgUnidade)->AsString());
}

void PaginaReceita::EditButtonClick()
{
    framework::TMessages& messages = m_contexto.mensagens();
    if (coluna(cdArvProd)) {
        if (!inserindo())
            return;
        preencheListaProdutos();
        m_pesquisaProd->CopyFrom(*m_pesqProd);
        m_pesquisaProd->FieldByName(QStringLiteral("DSCOMPLNOME"))->setVisible(flagGeral("IDPESQCOMPPROD") == u"S");
        if (!framework::Pesquisar(*m_pesquisaProd, messages.Msg(QStringLiteral("PRODUTO")) + u'|'
                                                       + messages.Msg(QStringLiteral("P_NCad"))))
            return;
        for (const QString& name : {cdArvProd, cdProduto, QStringLiteral("NMPRODUTO")})
            campo(name)->setAsString(m_pesquisaProd->FieldByName(name)->AsString());
        campo(sgUnidProd)->setAsString(m_pesquisaProd->FieldByName(sgUnidade)->AsString());
        return;
    }
    if (coluna(sgUnidade)) {
        if (m_lista->state() == State::Insert)
            Vd_CdProduto(true);
        if (!editando())
            m_lista->Edit();
        m_qryPesqConvProduto->Close();
        m_qryPesqConvProduto->setParam(QStringLiteral("P_CDPRODUTO"), campo(cdProduto)->AsString());
        m_qryPesqConvProduto->setParam(QStringLiteral("P_SGUNIDADE"), campo(sgUnidProd)->AsString().trimmed());
        m_qryPesqConvProduto->setParam(QStringLiteral("P_SGUNIDESTO"), QString());
        m_qryPesqConvProduto->setParam(QStringLiteral("P_TSGUNIDADE"), QStringLiteral("T"));
        m_qryPesqConvProduto->Open();
        if (framework::Pesquisar_Plus(*m_qryPesqConvProduto, messages.Msg(QStringLiteral("UNID_MEDIDA")) + u'|'
                                                                  + messages.Msg(QStringLiteral("N_HA_UNID_MEDIDA"))))
            campo(sgUnidade)->setText(m_qryPesqConvProduto->FieldByName(QStringLiteral("SGUNIDDE"))->AsString().trimmed());
        return;
    }
    if (coluna(cdApreRece) && !campo(cdProduto)->AsString().isEmpty()) {
        m_qryApreRece->Close();
        m_qryApreRece->setParam(cdApreRece, QStringLiteral("T"));
        m_qryApreRece->Open();
        if (!framework::Pesquisar(*m_qryApreRece, messages.Msg(QStringLiteral("APRESENTACAO")) + u'|'
                                                      + messages.Msg(QStringLiteral("N_HA_APRESENTACAO"))))
            return;
        if (!editando())
            m_lista->Edit();
        campo(QStringLiteral("NMAPRERECE"))->setAsString(m_qryApreRece->FieldByName(QStringLiteral("NMAPRERECE"))->AsString());
        campo(cdApreRece)->setAsString(m_qryApreRece->FieldByName(cdApreRece)->AsString());
    }
}

void PaginaReceita::Vd_ProdInativo()
{
    const QString x = QStringLiteral("x");
    QVariantList args{filialStatus(), niveisProduto(), m_contexto.pratos().FieldByName(QStringLiteral("CDPRATO"))->AsString(),
                      m_contexto.pratos().FieldByName(QStringLiteral("CDFILAUXPRAT"))->AsString()};
    // Slots 4..10: service, then one slot per recipe kind, then central and menu type.
    const QStringList kinds{QStringLiteral("RP"), QStringLiteral("RL"), QStringLiteral("RS"), QStringLiteral("RT")};
    // The level's own keys fill their slots: the service, or the central and the menu type.
    const QStringList keys = m_regras.chaves ? m_regras.chaves() : QStringList();
    args << (m_nivel.serviceKey.isEmpty() ? x : keys.value(1));
    for (const QString& kind : kinds)
        args << (kind == m_regras.kindReceita ? kind : x);
    if (m_nivel.centralKey.isEmpty())
        args << x << x;
    else
        args << keys.value(0) << keys.value(1);
    loadPacket(m_prodInativo, m_contexto.servidor().call(QStringLiteral("Verif_Prod_Inativo"), args));
    QString offending;
    for (m_prodInativo->First(); !m_prodInativo->Eof() && offending.isEmpty(); m_prodInativo->Next())
        if (m_prodInativo->FieldByName(QStringLiteral("IDPRODATIV"))->AsString() == u"I"
            || m_prodInativo->FieldByName(QStringLiteral("IDPRODATIVPR"))->AsString() == u"N")
            offending = m_prodInativo->FieldByName(cdArvProd)->AsString();
    // Any offending row blocks, a reply of one row included.
    if (offending.isEmpty())
        return;
    m_lista->Cancel();
    m_lista->Locate(cdArvProd, offending);
    falha(QStringLiteral("PROD_INATIVO"), cdArvProd);
}

QString PaginaReceita::niveisProduto() const
{
    return QString::number(framework::hostContext().DBPictObj(0).GetTtNiveis());
}

QString PaginaReceita::filialStatus() const
{
    // The branch of a branch or service page; the processing branch elsewhere.
    if (m_nivel.branchKey.isEmpty() || !m_regras.chaves)
        return framework::hostContext().FiliProc;
    return m_regras.chaves().value(0);
}

} // namespace recipe
