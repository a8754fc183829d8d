#include "ferramentas.h"
#include "frmreceitapadrao.h"

#include "recipe/core/componente.h"
#include "recipe/core/levelfields.h"
#include "recipe/levels/importafator.h"
#include "recipe/levels/paginareceita.h"
#include "recipe/levels/painelprato.h"
#include "recipe/levels/produtoproducao.h"
#include "recipe/levels/trocaingrediente.h"

#include "framework/core/consiste.h"
#include "framework/ui/guard.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/messages.h"

#include <QAction>
#include <QTabWidget>

namespace recipe {

Ferramentas::Ferramentas(TfrmReceitaPadrao& form) : m_form(form)
{
    TrocaIngrediente::addMessages(form);
    ImportaFator::addMessages(*form.msgPadrao);
    ProdutoProducao::addMessages(*form.msgPadrao);

    // The swap asks the product's status in the page's branch (the menu type's central) and
    // sends the recipe's keys as the page's header shows them.
    const auto ajusta = [](const framework::TMaskEdit* edit, int width) { return framework::Ajusta(edit->Text(), width); };
    const auto troca = [&](Level level, const char* duplicado, std::function<TrocaIngrediente::Escopo()> escopo) {
        m_trocas[static_cast<int>(level)] = std::make_unique<TrocaIngrediente>(
            form, form.PaginaNivel(level), QString::fromLatin1(duplicado), std::move(escopo));
    };
    // The menu type's recipe is swapped for the branch chosen on the branch page, or the working
    // branch while none is.
    troca(Level::TpCard, "ReceTpCard_Inf", [&form, ajusta] {
        const QString filial = form.medCdFilial->Text().trimmed().isEmpty() ? form.filialTrabalho() : form.medCdFilial->Text();
        return TrocaIngrediente::Escopo{ajusta(form.medCdCentral, 4), framework::Ajusta(filial, 4), {},
                                        ajusta(form.medCdCentral, 4), framework::AjustaTipoCard(form.medCdTpCard->Text())};
    });
    troca(Level::Filial, "ReceLoc_inf", [&form, ajusta] {
        return TrocaIngrediente::Escopo{ajusta(form.medCdFilial, 4), ajusta(form.medCdFilial, 4), {}, {}, {}};
    });
    troca(Level::Servico, "ReceServ_inf", [&form, ajusta] {
        return TrocaIngrediente::Escopo{ajusta(form.medCdFiliServ, 4), ajusta(form.medCdFiliServ, 4),
                                        ajusta(form.medCdServico, 5), {}, {}};
    });
    m_importaFator = std::make_unique<ImportaFator>(form, [this] { return paginaMostrada(); });

    const std::pair<Level, const char*> produtos[] = {{Level::Padrao, "P"}, {Level::Filial, "F"}, {Level::Servico, "S"}};
    for (std::size_t i = 0; i < m_produtos.size(); ++i) {
        PainelPrato& painel = form.PainelDados(produtos[i].first);
        m_produtos[i] = new ProdutoProducao(form, painel, ProdutoProducao::nomes(QString::fromLatin1(produtos[i].second)));
    }

    framework::guardedConnect(componente<QAction>(form, "mnuTrocaProd"), &QAction::triggered, &form,
                              [this] { sbtTrocaProdClick(); });
    framework::guardedConnect(componente<QAction>(form, "mnuImportFator"), &QAction::triggered, &form,
                              [this] { sbtImportFatorClick(); });
}

Ferramentas::~Ferramentas() = default;

PaginaReceita* Ferramentas::paginaMostrada() const
{
    const LevelFields* level = levelFieldsOfPage(m_form.pgcPadrao->currentWidget()->objectName());
    return level ? &m_form.PaginaNivel(level->level) : nullptr;
}

void Ferramentas::sbtTrocaProdClick()
{
    const PaginaReceita* pagina = paginaMostrada();
    if (!pagina)
        return;
    if (TrocaIngrediente* troca = m_trocas[static_cast<int>(pagina->nivel().level)].get())
        troca->troca();
    m_form.AtualizaBotoes();
}

void Ferramentas::sbtImportFatorClick() { m_importaFator->sbtImportFatorClick(); }

} // namespace recipe
