// The standard ingredient list: the first instance of the ingredient-list page, and the form's
// entry points of its grid and dataset.
#include "frmreceitapadrao.h"
#include "recipe/core/levelfields.h"
#include "recipe/levels/paginareceita.h"
#include "recipe/record/registroprato.h"
#include "recipe/quantities/quantidadepessoa.h"

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
    regras.limites = [this](const QString& operacao) { m_registro->Vd_Receita(operacao); };
    recipe::addQuantidadePessoaMessages(*msgPadrao);
    m_paginasNivel[static_cast<int>(recipe::Level::Padrao)] = std::make_unique<recipe::PaginaReceita>(
        *this, recipe::levelFields(recipe::Level::Padrao), regras, *cdsProdPrat, *dtsProdPrat, *dbgProdPrat);
}

recipe::PaginaReceita& TfrmReceitaPadrao::PaginaPadrao() const { return PaginaNivel(recipe::Level::Padrao); }

void TfrmReceitaPadrao::dbgProdPratColEnter() { PaginaPadrao().ColEnter(); }

void TfrmReceitaPadrao::dbgProdPratColExit() { PaginaPadrao().ColExit(); }

void TfrmReceitaPadrao::dbgProdPratEditButtonClick() { PaginaPadrao().EditButtonClick(); }

void TfrmReceitaPadrao::dbgProdPratExit() { PaginaPadrao().Exit(); }

void TfrmReceitaPadrao::cdsProdPratBeforePost() { PaginaPadrao().BeforePost(); }

void TfrmReceitaPadrao::cdsProdPratAfterPost() { PaginaPadrao().AfterPost(); }

void TfrmReceitaPadrao::Atualiza_Proporcional() { PaginaPadrao().Atualiza_Proporcional(); }

void TfrmReceitaPadrao::Calcula_Qtde_Prop_Pessoa(framework::ClientDataSet& list, double factor)
{
    for (const auto& page : m_paginasNivel)
        if (page && &list == &page->lista())
            page->Calcula_Qtde_Prop_Pessoa(factor);
}
