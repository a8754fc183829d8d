// The dish data of the standard, branch and service levels, and the working branch's hold on the
// branch selectors.
#include "filialtrabalho.h"
#include "recipe/record/registroprato.h"
#include "frmreceitapadrao.h"
#include "recipe/core/levelfields.h"
#include "recipe/levels/painelprato.h"
#include "recipe/levels/seletoresnivel.h"

#include "framework/abort.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/forms/dbtree.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/messages.h"
#include "server/autoriza.h"

using namespace framework;
using recipe::Level;

void TfrmReceitaPadrao::criaDadosPrato()
{
    recipe::addPainelPratoMessages(*msgPadrao);
    msgPadrao->Add({{"BloRecLoc", "Receita não pode ser revisada sem a existência de receita padrão."}});
    const auto editing = [](const ClientDataSet& ds) {
        return ds.state() == ClientDataSet::State::Edit || ds.state() == ClientDataSet::State::Insert;
    };
    const auto painel = [this](Level level, QWidget* page, ClientDataSet* dados, DataSource* fonte,
                               recipe::PainelPrato::Regras regras) {
        regras.reescala = [this, lista = regras.lista](double factor) { Calcula_Qtde_Prop_Pessoa(*lista, factor); };
        m_paineis[static_cast<int>(level)] = new recipe::PainelPrato(
            *this, recipe::levelFields(level), recipe::controlesPrato(level), page, *dados, *fonte, std::move(regras));
    };

    // The standard data belongs to the central: authorised outside a branch module, refused in one.
    recipe::PainelPrato::Regras padrao;
    const auto autoriza = [this](const char* operation) {
        return [this, operation](int changes) {
            return hostContext().ModuFili
                   || server::Autoriza(*netAutoriza, 4, QString::fromLatin1(operation), {}, changes);
        };
    };
    padrao.antesIncluir = [this] { m_registro->Vd_Receita(QStringLiteral("I")); };
    padrao.antesAlterar = [this] { m_registro->Vd_Receita(QStringLiteral("A")); };
    padrao.autorizaInclusao = autoriza("INCLUSAO_PRODUTO_RECEITA_PADRAO");
    padrao.autorizaAlteracao = autoriza("ALTERACAO_PRODUTO_RECEITA_PADRAO");
    padrao.antesCor = [this, editing] {
        if (editing(*cdsProdPrat))
            return false;
        dbaPadrao->Resync();
        m_registro->Vd_Receita(QStringLiteral("I"));
        return true;
    };
    padrao.lista = cdsProdPrat;
    painel(Level::Padrao, tshPadrao, cdsDadosPrat, dtsDadosPrat, std::move(padrao));

    recipe::PainelPrato::Regras filial;
    filial.exigeSeletores = [this] { validaSeletores(recipe::levelFields(Level::Filial)); };
    filial.chaves = [this](ClientDataSet& dados) {
        dados.FieldByName(QStringLiteral("CDFILIAL"))->setAsString(medCdFilial->Text());
    };
    filial.antesCor = [this, editing] {
        if (editing(*cdsReceFili))
            return false;
        m_seletoresNivel->medCdFilialExit();
        return true;
    };
    filial.lista = cdsReceFili;
    painel(Level::Filial, tshReceLoca, cdsPratFili, dtsPratFili, std::move(filial));

    recipe::PainelPrato::Regras servico;
    servico.exigeSeletores = [this] { validaSeletores(recipe::levelFields(Level::Servico)); };
    servico.chaves = [this](ClientDataSet& dados) {
        dados.FieldByName(QStringLiteral("CDFILIAL"))->setAsString(medCdFiliServ->Text());
        dados.FieldByName(QStringLiteral("CDSERVFILI"))->setAsString(medCdServico->Text());
    };
    servico.antesCor = [this, editing] {
        if (editing(*cdsReceServ))
            return false;
        m_seletoresNivel->exigeServico();
        return true;
    };
    servico.lista = cdsReceServ;
    painel(Level::Servico, tshReceServ, cdsPratServ, dtsPratServ, std::move(servico));

    m_filialTrabalho = std::make_unique<recipe::FilialTrabalho>(*this);
}

recipe::PainelPrato& TfrmReceitaPadrao::PainelDados(Level level) const
{
    recipe::PainelPrato* painel = m_paineis.at(static_cast<int>(level));
    if (!painel)
        throw Error(QStringLiteral("Este nível não tem dados do prato."));
    return *painel;
}

void TfrmReceitaPadrao::shpCorPrincipalMouseUp() { PainelDados(Level::Padrao).escolheCor(0); }

void TfrmReceitaPadrao::shpCorSecundariaMouseUp() { PainelDados(Level::Padrao).escolheCor(1); }

void TfrmReceitaPadrao::shpCorAuxiliarMouseUp() { PainelDados(Level::Padrao).escolheCor(2); }

void TfrmReceitaPadrao::Desabilita_Filial(bool lock) { m_filialTrabalho->Desabilita_Filial(lock); }

void TfrmReceitaPadrao::Atualiza_FiliProc() { m_filialTrabalho->Atualiza_FiliProc(); }

void TfrmReceitaPadrao::BloPratLoc() { m_filialTrabalho->BloPratLoc(); }
