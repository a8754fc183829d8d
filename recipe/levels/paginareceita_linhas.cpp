// The ingredient-list page's row checks and row events: insert, new row, edit, post, delete,
// the calculated base of the nutrient quantity and the state changes.
#include "paginareceita.h"
#include "paginareceita_campos.h"

#include "recipe/core/contextoreceita.h"
#include "recipe/core/levelfields.h"
#include "recipe/core/respostaservidor.h"
#include "recipe/core/validacao.h"
#include "recipe/quantities/quantidades.h"
#include "recipe/record/formapreparo.h"

#include "framework/abort.h"
#include "framework/core/consiste.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/forms/column.h"
#include "framework/forms/dbgrid.h"
#include "framework/ui/dbedit.h"
#include "framework/ui/messages.h"
#include "framework/ui/query.h"
#include "framework/ui/tabvalid.h"
#include "server/connection.h"

#include <QCheckBox>
#include <QScopeGuard>

namespace recipe {

// The names the page's files share, with the framework's types they use.
using namespace ingredientes;

void PaginaReceita::Vd_QtProduto(Field& quantity, bool required)
{
    if (!editando())
        return;
    if (quantity.IsNull()) {
        if (required)
            falha(QStringLiteral("QTDE_EMPTY"), quantity.FieldName());
        return;
    }
    if (!(quantity.AsFloat() > 0))
        falha(QStringLiteral("QTDE_ZERO"), quantity.FieldName());
}

void PaginaReceita::Vd_SgUnidProd()
{
    if (!editando())
        return;
    const QString unit = campo(sgUnidade)->AsString().trimmed();
    if (unit.isEmpty())
        return;
    m_qryPesqConvProduto->Close();
    m_qryPesqConvProduto->setParam(QStringLiteral("P_CDPRODUTO"), campo(cdProduto)->AsString());
    m_qryPesqConvProduto->setParam(QStringLiteral("P_SGUNIDADE"), campo(sgUnidProd)->AsString().trimmed());
    m_qryPesqConvProduto->setParam(QStringLiteral("P_TSGUNIDADE"), QString());
    m_qryPesqConvProduto->setParam(QStringLiteral("P_SGUNIDESTO"), unit);
    m_qryPesqConvProduto->Open();
    if (m_qryPesqConvProduto->IsEmpty()
        || m_qryPesqConvProduto->FieldByName(QStringLiteral("SGUNIDDE"))->AsString().trimmed() != unit)
        falha(QStringLiteral("UNID_NC"), sgUnidade);
}

void PaginaReceita::Vd_PeFatCorr(Field& field, bool yield)
{
    if (!editando())
        return;
    const double value = field.AsFloat();
    if (yield && (value < 1 || value > 100))
        falha(QStringLiteral("FATCORPERDA_INV"), field.FieldName());
    if (!yield && (value < 0 || value > 99))
        falha(QStringLiteral("FATCORAPROV_INV"), field.FieldName());
}

void PaginaReceita::Vd_PePerDegelo()
{
    Field* loss = campo(m_nivel.defrostLoss);
    if (!loss || !editando())
        return;
    if (loss->AsFloat() < 0 || loss->AsFloat() > 99)
        falha(QStringLiteral("FatPerdaDegelo_fora"), loss->FieldName());
}

void PaginaReceita::Vd_HrTempPrep()
{
    Field* time = campo(m_nivel.prepTime);
    if (!time || !editando())
        return;
    if (!TempoPreparoOk(time->AsString()))
        falha(QStringLiteral("TEMPPREP_INV"), time->FieldName());
}

void PaginaReceita::Vd_ComplementoRecePadr()
{
    Field* complement = campo(m_nivel.complement);
    if (complement && !complement->IsNull() && !(complement->AsFloat() > 0))
        falha(QStringLiteral("QTDE_ZERO"), complement->FieldName());
}

void PaginaReceita::Vd_ApreRece()
{
    if (!editando() || campo(cdApreRece)->AsString().trimmed().isEmpty() || campo(cdProduto)->AsString().isEmpty())
        return;
    const QString code = framework::Ajusta(campo(cdApreRece)->AsString().trimmed(), 3);
    m_qryApreRece->Close();
    m_qryApreRece->setParam(cdApreRece, code);
    m_qryApreRece->Open();
    if (m_qryApreRece->IsEmpty())
        falha(QStringLiteral("ApreProd_nc"), cdApreRece);
    campo(QStringLiteral("NMAPRERECE"))->setAsString(m_qryApreRece->FieldByName(QStringLiteral("NMAPRERECE"))->AsString());
    campo(cdApreRece)->setAsString(code);
}

void PaginaReceita::BeforeInsert()
{
    if (m_contexto.consulta())
        throw framework::Abort();
    autoriza(m_regras.autorizaInclusao);
    if (m_regras.limites)
        m_regras.limites(QStringLiteral("I"));
    if (m_regras.validaSeletores)
        m_regras.validaSeletores();
    if (m_regras.primeiraLinha && m_lista->IsEmpty())
        m_regras.primeiraLinha();
    if (m_regras.bloqueio)
        m_regras.bloqueio();
    m_autorizacaoPendente = false;
    m_qtAnterior = 0;
    m_qtAnteriorNula = false;
    m_modoEdicao = QStringLiteral("I");
    m_verif->SetData(m_lista->Data());
    const int column = framework::IndiceCol(*m_grade, cdArvProd);
    if (column >= 0)
        m_grade->setSelectedIndex(column);
}

void PaginaReceita::NewRecord()
{
    const LevelFields& f = m_nivel;
    const std::pair<QString, QVariant> defaults[] = {
        {f.cookingGain, 0.0},      {f.cookingYield, 100.0}, {f.cleaningYield, 100.0}, {f.nutritionalYield, 100.0},
        {f.defrostLoss, 0.0},      {f.directEntry, QStringLiteral("N")}, {f.requisitionType, QStringLiteral("P")}};
    for (const auto& [name, value] : defaults)
        if (Field* field = campo(name))
            field->setValue(value);
    campo(f.nutritionalYield)->setTag(1);
    campo(f.nutrientQty)->setTag(0);
}

void PaginaReceita::BeforeEdit()
{
    if (m_contexto.consulta())
        throw framework::Abort();
    // The rows a run posts are not edits of the user's: nothing to check or to remember.
    if (reescalando())
        return;
    verificaAlteracao();
    m_autorizacaoPendente = !m_emLote && !m_regras.autorizaAlteracao.isEmpty();
    const Field* net = campo(m_nivel.netQty);
    m_qtAnteriorNula = net->IsNull();
    m_qtAnterior = net->AsFloat();
    m_modoEdicao = QStringLiteral("E");
    m_verif->SetData(m_lista->Data());
}

void PaginaReceita::BeforePost()
{
    if (!m_inativosVerificados)
        Vd_ProdInativo();
    if (!m_validaPost)
        return;
    autorizaEdicao();
    const LevelFields& f = m_nivel;
    Vd_CdProduto(true);
    Field* type = campo(f.requisitionType);
    if (Field* direct = campo(f.directEntry); direct && type && type->AsString() != u"P")
        direct->setAsString(QStringLiteral("N"));
    Vd_QtProduto(*campo(entradaLiquida() ? f.netQty : f.grossQty), true);
    if (Field* complement = campo(f.complement); complement && complement->AsFloat() != 0)
        Vd_ComplementoRecePadr();
    Vd_SgUnidProd();
    for (const QString& name : {f.cookingGain, f.cookingYield, f.cleaningLoss, f.cleaningYield, f.nutritionalYield})
        m_validacao->Vd_ValidaVazio(*campo(name), m_grade);
    // A nutrient quantity that follows the yield is derived below; only a typed one must be there.
    if (campo(f.nutritionalYield)->Tag() != 1)
        m_validacao->Vd_ValidaVazio(*campo(f.nutrientQty), m_grade);
    arredondaPercentuais();
    Vd_PeFatCorr(*campo(f.cleaningLoss), false);
    Vd_PeFatCorr(*campo(f.cleaningYield), true);
    Vd_PePerDegelo();
    Vd_HrTempPrep();
    if (coluna(cdApreRece))
        Vd_ApreRece();
    if (campo(f.cookingGain)->IsNull())
        campo(f.cookingGain)->setAsFloat(0);
    m_validacao->Vd_CoccaoLimpeza(*m_grade, m_nivel);
    // A new row takes the dish's and the level's keys; a saved one keeps its own.
    if (inserindo()) {
        vdAlteraReceitaProdProd();
        for (const QString& key : {QStringLiteral("CDFILAUXPRAT"), QStringLiteral("CDPRATO")})
            campo(key)->setAsString(m_contexto.pratos().FieldByName(key)->AsString());
        if (m_regras.chaves) {
            const QStringList keys = chavesNivel();
            const QStringList values = m_regras.chaves();
            for (int i = 0; i < keys.size(); ++i)
                campo(keys[i])->setAsString(values.value(i));
        }
    }
    if (Field* time = campo(f.prepTime); time && !time->IsNull())
        time->setAsString(AjustaHrTempPrep(time->AsString()));
    if (colunaQuantidade() || m_calcQtPessoa || inserindo())
        recalculaQuantidades();
    parNutriente();
    framework::Seta_Campo_Null(*m_lista);
    if (Field* anticipation = campo(f.anticipation); anticipation && anticipation->AsString().trimmed().isEmpty())
        anticipation->Clear();
    if (Field* complement = campo(f.complement); complement && complement->IsNull())
        complement->setAsFloat(0);
}

void PaginaReceita::AfterPost()
{
    // A run's own posts never start another run.
    const bool proportional = !reescalando() && !m_emLote && m_altProporcional->isChecked() && m_modoEdicao == u"E"
                              && m_qtAnterior != campo(m_nivel.netQty)->AsFloat();
    m_modoEdicao = QStringLiteral("B");
    if (proportional)
        Atualiza_Proporcional();
}

void PaginaReceita::BeforeDelete()
{
    autoriza(m_regras.autorizaExclusao);
    if (m_regras.limites)
        m_regras.limites(QStringLiteral("E"));
    const QString owner = campo(QStringLiteral("CDFILAUXPRAT"))->AsString();
    const QString dish = campo(QStringLiteral("CDPRATO"))->AsString();
    vdAlteraReceitaProdProd();
    if (m_regras.verificaUltima && m_lista->RecordCount() == 1) {
        const Field* branch = campo(m_nivel.branchKey);
        const QString answer =
            m_contexto.servidor()
                .call(QStringLiteral("Verif_DelReceita"),
                       {branch ? branch->AsString() : QString(), owner, dish, m_nivel.serverLetter})
                .toString();
        if (!answer.isEmpty()) {
            if (m_contexto.mensagens().Contains(answer))
                falha(answer, {});
            framework::MensErro(answer, false);
            throw framework::Abort();
        }
    }
    if (m_regras.bloqueio)
        m_regras.bloqueio();
}

void PaginaReceita::vdAlteraReceitaProdProd()
{
    auto* production = m_regras.produtoProducao.isEmpty()
                           ? nullptr
                           : m_contexto.janela().findChild<framework::TDBEdit*>(m_regras.produtoProducao);
    auto* dishData = m_contexto.janela().findChild<ClientDataSet*>(m_nivel.dish.dataSet);
    if (!production || production->Text().trimmed().isEmpty() || !dishData || !dishData->Active())
        return;
    const auto text = [dishData](const char* name) {
        const Field* field = dishData->FindField(QString::fromLatin1(name));
        return field ? field->AsString() : QString();
    };
    ClientDataSet reply;
    loadPacket(&reply, m_contexto.servidor().call(QStringLiteral("VerificaProdProd"),
                                                     {text("CDPRODPRODUCAO"), text("CDFILAUXPRAT"), text("CDPRATO"),
                                                      m_nivel.letter, text("CDFILIAL"), text("CDSERVFILI")}));
    if (!reply.IsEmpty())
        falha(QStringLiteral("ProdProd_ja_existe"), {});
}

void PaginaReceita::lote(const std::function<void()>& trabalho)
{
    if (!m_regras.autorizaAlteracao.isEmpty())
        autoriza(m_regras.autorizaAlteracao);
    Vd_ProdInativo();
    m_emLote = true;
    m_inativosVerificados = true;
    const auto restore = qScopeGuard([this] {
        m_emLote = false;
        m_inativosVerificados = false;
    });
    trabalho();
}

void PaginaReceita::CalcFields()
{
    const LevelFields& f = m_nivel;
    const Fatores fatores{0, campo(f.cleaningLoss)->AsFloat(), perdaDegelo()};
    campo(f.nutrientBase)->setAsFloat(baseNutriente(campo(f.requisitionQty)->AsFloat(), fatores));
}

void PaginaReceita::StateChange()
{
    const State state = m_lista->state();
    const bool editing = state == State::Edit || state == State::Insert;
    if (editing)
        m_contexto.Habilita_Desabilita(m_fonte);
    const int column = framework::IndiceCol(*m_grade, cdArvProd);
    if (column >= 0)
        m_grade->Columns(column)->setButtonStyle(state == State::Insert ? TColumn::cbsEllipsis : TColumn::cbsAuto);
    if (editing)
        m_contexto.Habilita_Pagina(false);
    // A new row keeps the mark its defaults set.
    if (state != State::Insert)
        CamposNutrInalterados();
}

} // namespace recipe
