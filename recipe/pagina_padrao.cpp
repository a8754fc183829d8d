// The standard ingredient list: the first instance of the ingredient-list page, and the form's
// entry points of its grid and dataset.
#include "frmreceitapadrao.h"
#include "levelfields.h"
#include "paginareceita.h"
#include "quantidadepessoa.h"

#include "framework/data/clientdataset.h"

void TfrmReceitaPadrao::criaPaginaPadrao()
{
    recipe::RegrasNivel regras;
    regras.autorizaInclusao = QStringLiteral("INCLUSAO_PRODUTO_RECEITA_PADRAO");
    regras.autorizaAlteracao = QStringLiteral("ALTERACAO_PRODUTO_RECEITA_PADRAO");
    regras.autorizaExclusao = QStringLiteral("EXCLUSAO_PRODUTO_RECEITA_PADRAO");
    regras.duplicado = QStringLiteral("RecePadr_inf");
    regras.kindReceita = QStringLiteral("RP");
    regras.atualizaQuantidade = QStringLiteral("cdsUpQtdePadr");
    regras.metodoAtualizaQuantidade = QStringLiteral("UpdUpQtdePadr");
    regras.metodoBase = QStringLiteral("ProUpProdBasePR");
    regras.progressoBase = QStringLiteral("pro_UpProdBasePR");
    regras.produtoProducao = QStringLiteral("dbeCdProdPadr");
    recipe::addQuantidadePessoaMessages(*msgPadrao);
    m_paginaPadrao = std::make_unique<recipe::PaginaReceita>(*this, recipe::levelFields(recipe::Level::Padrao), regras);
}

void TfrmReceitaPadrao::dbgProdPratColEnter() { m_paginaPadrao->ColEnter(); }

void TfrmReceitaPadrao::dbgProdPratColExit() { m_paginaPadrao->ColExit(); }

void TfrmReceitaPadrao::dbgProdPratEditButtonClick() { m_paginaPadrao->EditButtonClick(); }

void TfrmReceitaPadrao::dbgProdPratExit() { m_paginaPadrao->Exit(); }

void TfrmReceitaPadrao::cdsProdPratBeforePost() { m_paginaPadrao->BeforePost(); }

void TfrmReceitaPadrao::cdsProdPratAfterPost() { m_paginaPadrao->AfterPost(); }

void TfrmReceitaPadrao::Atualiza_Proporcional() { m_paginaPadrao->Atualiza_Proporcional(); }

void TfrmReceitaPadrao::Calcula_Qtde_Prop_Pessoa(framework::ClientDataSet& list, double factor)
{
    for (recipe::PaginaReceita* page : {m_paginaPadrao.get(), m_paginaTpCard.get(), m_paginaFilial.get(), m_paginaServico.get()})
        if (page && &list == &page->lista())
            page->Calcula_Qtde_Prop_Pessoa(factor);
}
