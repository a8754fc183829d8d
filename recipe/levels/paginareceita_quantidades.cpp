// The ingredient-list page's quantities: the derived quantities of a row, the nutrient quantity,
// and the updates of the whole list (proportional update, rescaling, the flags of every row).
#include "paginareceita.h"
#include "paginareceita_campos.h"

#include "recipe/core/contextoreceita.h"
#include "recipe/core/levelfields.h"
#include "recipe/core/respostaservidor.h"
#include "recipe/core/validacao.h"
#include "recipe/quantities/quantidades.h"

#include "framework/abort.h"
#include "framework/core/consiste.h"
#include "framework/data/clientdataset.h"
#include "framework/forms/column.h"
#include "framework/forms/dbgrid.h"
#include "server/connection.h"

#include <QApplication>
#include <QScopeGuard>
#include <QTimer>

namespace recipe {

// The names the page's files share, with the framework's types they use.
using namespace ingredientes;

void PaginaReceita::Vd_Quantidade(const QString& mode)
{
    if (!editando())
        return;
    const Fatores fatores{campo(m_nivel.cookingGain)->AsFloat(), campo(m_nivel.cleaningLoss)->AsFloat(),
                          perdaDegelo()};
    if (mode == u"L") {
        const double net = liquidaDaBruta(campo(m_nivel.grossQty)->AsFloat(), fatores);
        if (net == 0)
            falha(QStringLiteral("QtdeLiquida_Zero"), m_nivel.grossQty);
        campo(m_nivel.netQty)->setAsFloat(net);
        return;
    }
    const double gross = brutaDaLiquida(campo(m_nivel.netQty)->AsFloat(), fatores);
    if (gross == 0)
        falha(QStringLiteral("QtdeBruta_Zero"), {});
    campo(m_nivel.grossQty)->setAsFloat(gross);
}

double PaginaReceita::Qtde_Bruta()
{
    Field* stock = campo(m_nivel.stockUnitQty);
    const double gross = campo(m_nivel.grossQty)->AsFloat();
    const double requisition = m_unidades->requisicao(
        {campo(cdProduto)->AsString(), campo(sgUnidade)->AsString(), campo(sgUnidProd)->AsString()}, gross);
    stock->setAsFloat(requisition);
    return requisition;
}

void PaginaReceita::recalculaQuantidades()
{
    if (!editando())
        return;
    if (entradaLiquida()) {
        if (!campo(m_nivel.netQty)->IsNull())
            Vd_Quantidade(QStringLiteral("B"));
    } else if (!campo(m_nivel.grossQty)->IsNull()) {
        Vd_Quantidade(QStringLiteral("L"));
    }
    campo(m_nivel.requisitionQty)->setAsFloat(Qtde_Bruta());
}

void PaginaReceita::Vd_QtCalcNutr()
{
    if (m_lista->state() != State::Edit && m_lista->state() != State::Insert)
        return;
    Field* quantity = campo(m_nivel.nutrientQty);
    if (quantity->Tag() != 1)
        return;
    if (quantity->AsFloat() <= 0)
        falha(QStringLiteral("QtCalcNutr_Maior"), m_nivel.nutrientQty);
    const double base = framework::RoundDec(campo(m_nivel.nutrientBase)->AsFloat(), 5);
    campo(m_nivel.nutritionalYield)->setAsFloat(base > 0 ? framework::RoundDec(quantity->AsFloat() / base * 100, 2) : 0);
}

void PaginaReceita::parNutriente()
{
    m_validacao->Vd_VrPerNutr(*m_lista, m_nivel, m_grade);
    Vd_QtCalcNutr();
}

void PaginaReceita::Atualiza_Proporcional()
{
    // Nothing to scale from: a quantity that was zero or empty gives no ratio.
    if (m_qtAnteriorNula || m_qtAnterior == 0)
        return;
    Vd_ProdInativo();
    m_validaPost = false;
    m_inativosVerificados = true;
    m_lista->DisableControls();
    const auto restore = qScopeGuard([this] {
        m_validaPost = true;
        m_inativosVerificados = false;
        m_lista->EnableControls();
    });
    const QString edited = campo(cdProduto)->AsString();
    const double ratio = campo(m_nivel.netQty)->AsFloat() / m_qtAnterior;
    Field* fixed = campo(m_nivel.fixedQty);
    for (m_lista->First(); !m_lista->Eof(); m_lista->Next()) {
        if (campo(cdProduto)->AsString() == edited || (fixed && fixed->AsString() == u"S"))
            continue;
        m_lista->Edit();
        Field* net = campo(m_nivel.netQty);
        net->setAsFloat(net->AsFloat() * ratio);
        Vd_Quantidade(QStringLiteral("P"));
        campo(m_nivel.requisitionQty)->setAsFloat(Qtde_Bruta());
        VrPeNutrAlterado();
        m_validacao->Vd_VrPerNutr(*m_lista, m_nivel, m_grade);
        m_lista->Post();
    }
    m_lista->Locate(cdProduto, edited);
}

void PaginaReceita::Calcula_Qtde_Prop_Pessoa(double factor)
{
    m_lista->CheckBrowseMode();
    // The run is one operation: whatever stops it, the list goes back to what it was.
    const framework::DataPacket antes = m_lista->Data();
    const QString atual = m_lista->IsEmpty() ? QString() : campo(cdProduto)->AsString();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool idleWasActive = m_contexto.inatividade().isActive();
    m_contexto.inatividade().stop();
    m_lista->DisableControls();
    // The rows are typed as net quantities for the run; the entry mode the user works in comes
    // back afterwards as it was.
    m_forcaLiquida = true;
    m_calcQtPessoa = true;
    const auto restore = qScopeGuard([this, idleWasActive] {
        m_forcaLiquida = false;
        m_calcQtPessoa = false;
        m_inativosVerificados = false;
        m_lista->EnableControls();
        if (idleWasActive)
            m_contexto.inatividade().start();
        QApplication::restoreOverrideCursor();
    });
    // The dish data's post that asks for the run has passed the guards of a change to the level
    // (query mode, the standard recipe's block, the supervisor); one check of the recipe's
    // products serves every row.
    Vd_ProdInativo();
    m_inativosVerificados = true;
    const QString dishUnit = m_contexto.pratos().FieldByName(sgUnidade)->AsString();
    try {
        for (m_lista->First(); !m_lista->Eof(); m_lista->Next()) {
            Field* net = campo(m_nivel.netQty);
            const double inDishUnit = m_unidades->emUnidade(
                {campo(cdProduto)->AsString(), campo(sgUnidade)->AsString(), campo(sgUnidProd)->AsString()}, dishUnit,
                net->AsFloat());
            if (inDishUnit == 0)
                continue;
            m_lista->Edit();
            net->setAsFloat(net->AsFloat() * factor);
            VrPeNutrAlterado();
            m_lista->Post();
        }
    } catch (...) {
        m_lista->Cancel();
        m_lista->SetData(antes);
        if (!atual.isEmpty())
            m_lista->Locate(cdProduto, atual);
        throw;
    }
}

void PaginaReceita::TitleClick(TColumn& column)
{
    if (editando() || m_lista->ChangeCount() > 0 || !m_lista->Active() || m_lista->IsEmpty())
        return;
    const QString name = column.FieldName();
    if (name != m_nivel.baseProduct && name != m_nivel.fixedQty)
        return;
    // Every row of the recipe changes on the server at once: the guards of a row edit.
    verificaAlteracao();
    autoriza(m_regras.autorizaAlteracao);
    const auto bookmark = m_lista->GetBookmark();
    m_lista->First();
    const QString value = campo(name)->AsString() == u"S" ? QStringLiteral("N") : QStringLiteral("S");
    if (m_lista->BookmarkValid(bookmark))
        m_lista->GotoBookmark(bookmark);
    const QString owner = campo(QStringLiteral("CDFILAUXPRAT"))->AsString();
    const QString dish = campo(QStringLiteral("CDPRATO"))->AsString();
    const QString parent = m_contexto.grupo(dish);
    QStringList scope;
    for (const QString& key : chavesNivel())
        scope << campo(key)->AsString();
    QVariant reply;
    if (name == m_nivel.baseProduct) {
        QVariantList args{owner, dish};
        const QVariantList keys(scope.begin(), scope.end());
        if (!m_regras.escopoNoFim)
            args += keys;
        args << value << m_contexto.filialTrabalho() << parent;
        if (m_regras.escopoNoFim)
            args += keys;
        reply = m_contexto.servidor().call(m_regras.metodoBase, args, m_regras.progressoBase);
    } else {
        QVariantList args{m_nivel.serverLetter, owner, dish, scope.value(0), scope.value(1), value, m_contexto.filialTrabalho(),
                          parent};
        reply = m_contexto.servidor().call(QStringLiteral("ProUpdQtdeFix"), args);
    }
    m_lista->DisableControls();
    const auto restore = qScopeGuard([this] { m_lista->EnableControls(); });
    const QString filter = m_lista->Filter();
    const bool filtered = m_lista->Filtered();
    loadPacket(m_lista, reply);
    m_lista->setFilter(filter);
    m_lista->setFiltered(filtered);
    m_lista->Locate(QStringLiteral("CDPRATO"), dish);
}

void PaginaReceita::VrPeNutrAlterado()
{
    if (!editando())
        m_lista->Edit();
    campo(m_nivel.nutritionalYield)->setTag(1);
    campo(m_nivel.nutrientQty)->setTag(0);
}

void PaginaReceita::QtCalcNutrAlterado()
{
    if (!editando())
        m_lista->Edit();
    campo(m_nivel.nutritionalYield)->setTag(0);
    campo(m_nivel.nutrientQty)->setTag(1);
}

void PaginaReceita::CamposNutrInalterados()
{
    campo(m_nivel.nutritionalYield)->setTag(0);
    campo(m_nivel.nutrientQty)->setTag(0);
}

void PaginaReceita::arredondaPercentuais()
{
    const LevelFields& f = m_nivel;
    for (const QString& name :
         {f.cookingGain, f.cookingYield, f.cleaningLoss, f.cleaningYield, f.nutritionalYield, f.defrostLoss})
        if (Field* field = campo(name))
            field->setAsFloat(RoundNumber(field->AsString()));
}

} // namespace recipe
