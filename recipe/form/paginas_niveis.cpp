// The branch, service and menu-type ingredient lists: three more instances of the ingredient-list
// page, told apart from the standard one by their rules and the page selectors they read; the
// lock of revised recipes; the menu type's dish data, and the selectors of the three pages.
#include "recipe/core/cli_pla01300.h"
#include "recipe/core/enviador.h"
#include "frmreceitapadrao.h"
#include "recipe/core/levelfields.h"
#include "recipe/levels/paginareceita.h"
#include "recipe/levels/painelprato.h"
#include "recipe/levels/seletoresnivel.h"
#include "recipe/core/respostaservidor.h"
#include "recipe/core/tabelapaginas.h"
#include "recipe/core/validacao.h"

#include "framework/abort.h"
#include "framework/core/consiste.h"
#include "framework/core/tipocard.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/messages.h"
#include "framework/ui/query.h"
#include "framework/ui/validafilial.h"
#include "server/connection.h"

#include <QAction>
#include <QLineEdit>
#include <QTabWidget>

using namespace framework;
using recipe::Level;
using recipe::LevelFields;

namespace {

using State = ClientDataSet::State;

bool editing(const ClientDataSet& dataSet)
{
    return dataSet.state() == State::Edit || dataSet.state() == State::Insert;
}

} // namespace

void TfrmReceitaPadrao::criaPaginasNiveis()
{
    const std::pair<const char*, const char*> textos[] = {
        {"upd_cdsReceFili", "Atualizando receitas por filial..."},
        {"upd_cdsReceServ", "Atualizando receitas por serviço..."},
        {"upd_cdsReceTpCard", "Atualizando receitas por tipo de cardápio..."},
        {"upd_cdsPratTpCard", "Atualizando pratos por tipo de cardápio..."},
        {"pro_UpProdBaseLO", "Atualizando receita (Local)..."},
        {"pro_UpProdBaseSE", "Atualizando receita (Serviço)..."},
        {"pro_UpProdBaseTPCard", "Atualizando receita (Tipo de Cardápio)..."},
        {"opernaut", "Operador não autorizado a incluir / excluir produto em receita revisada."},
        {"recelocbloqalt", "Receita local bloqueada para inclusão / exclusão."},
        {"Prato_RecRevisada", "Prato utilizado no cardápio deve possuir receita revisada."},
        {"TPCARD_EMPTY", "Tipo de Cardápio deve ser informado."},
        {"TPCARD_NCAD", "Tipo de Cardápio não cadastrado."},
        {"TIPO_CARD", "Tipo de Cardápio"},
        {"N_HA_TIPO_CARD", "Não há tipo de cardápio cadastrado."},
    };
    for (const auto& [key, text] : textos)
        if (!msgPadrao->Contains(QString::fromLatin1(key)))
            msgPadrao->Add(QString::fromLatin1(key), QString::fromUtf8(text));

    cdsParamPrato = new ClientDataSet(this, QStringLiteral("cdsParamPrato"));
    qryTipoCard = new Query(this, QStringLiteral("qryTipoCard"));
    qryTipoCard->setSQL(QStringLiteral(
        "SELECT CDTIPOCARD, NMTIPOCARD FROM TIPOCARD WHERE CDFILCENTPME = :P_CDFILCENTPME AND "
        "((:P_TCDTIPOCARD = 'T') OR (CDTIPOCARD = :P_CDTIPOCARD)) ORDER BY CDTIPOCARD"));
    Field* code = qryTipoCard->AddField(QStringLiteral("CDTIPOCARD"), FieldType::String, 10);
    code->setDisplayLabel(QStringLiteral("Código"));
    code->setDisplayWidth(15);
    Field* name = qryTipoCard->AddField(QStringLiteral("NMTIPOCARD"), FieldType::String, 100);
    name->setDisplayLabel(QStringLiteral("Nome"));
    name->setDisplayWidth(30);
    medCdTpCard->setEditMask(QString::fromLatin1(framework::MascaraTipoCard));

    // What each level adds to the standard page: its duplicate message, its recipe kind, its
    // quantity updates and base-product method, and the selectors of its page.
    const auto niveis = [this](const LevelFields& level) {
        const LevelFields* fields = &level; // the level tables live as long as the program
        recipe::RegrasNivel regras;
        regras.validaSeletores = [this, fields] { validaSeletores(*fields); };
        regras.aoEntrar = [this, fields] { entraGradeNivel(*fields); };
        regras.chaves = [this, fields] { return escopo(*fields); };
        return regras;
    };
    const LevelFields& filial = recipe::levelFields(Level::Filial);
    recipe::RegrasNivel regras = niveis(filial);
    regras.duplicado = QStringLiteral("ReceLoc_inf");
    regras.kindReceita = QStringLiteral("RL");
    regras.atualizaQuantidade = QStringLiteral("cdsUpQtdeLo");
    regras.metodoAtualizaQuantidade = QStringLiteral("UpdUpQtdeLo");
    regras.metodoBase = QStringLiteral("ProUpProdBaseLO");
    regras.progressoBase = QStringLiteral("pro_UpProdBaseLO");
    regras.produtoProducao = QStringLiteral("dbeCdProdFili");
    regras.bloqueio = [this] { BloqAltRecLo(true); };
    regras.primeiraLinha = [this] { BloPratLoc(); };
    m_paginasNivel[static_cast<int>(Level::Filial)] =
        std::make_unique<recipe::PaginaReceita>(*this, filial, regras, *cdsReceFili, *dtsReceFili, *dbgReceFili);

    const LevelFields& servico = recipe::levelFields(Level::Servico);
    regras = niveis(servico);
    regras.duplicado = QStringLiteral("ReceServ_inf");
    regras.kindReceita = QStringLiteral("RS");
    regras.atualizaQuantidade = QStringLiteral("cdsUpQtdeServ");
    regras.metodoAtualizaQuantidade = QStringLiteral("UpdUpQtdeServ");
    regras.metodoBase = QStringLiteral("ProUpProdBaseSE");
    regras.progressoBase = QStringLiteral("pro_UpProdBaseSE");
    regras.produtoProducao = QStringLiteral("dbeCdProdServ");
    regras.bloqueio = [this] { BloqAltRecLo(true); };
    regras.primeiraLinha = [this] { BloPratLoc(); };
    m_paginasNivel[static_cast<int>(Level::Servico)] =
        std::make_unique<recipe::PaginaReceita>(*this, servico, regras, *cdsReceServ, *dtsReceServ, *dbgReceServ);

    // The menu type has no production product, no lock of revised recipes and no last-row check;
    // its base-product method takes the central and the menu type after the group.
    const LevelFields& tpCard = recipe::levelFields(Level::TpCard);
    regras = niveis(tpCard);
    regras.duplicado = QStringLiteral("ReceTpCard_inf");
    regras.kindReceita = QStringLiteral("RT");
    regras.metodoBase = QStringLiteral("ProUpProdBaseTP");
    regras.progressoBase = QStringLiteral("pro_UpProdBaseTPCard");
    regras.escopoNoFim = true;
    regras.verificaUltima = false;
    regras.recarregaProdutos = true;
    m_paginasNivel[static_cast<int>(Level::TpCard)] =
        std::make_unique<recipe::PaginaReceita>(*this, tpCard, regras, *cdsReceTpCard, *dtsReceTpCard, *dbgReceTpCard);

    // The menu type's dish data: the level's panel with the central and menu type as keys.
    recipe::PainelPrato::Regras dados;
    dados.exigeSeletores = [this, fields = &tpCard] { validaSeletores(*fields); };
    dados.chaves = [this](ClientDataSet& record) {
        const QStringList keys = escopo(recipe::levelFields(Level::TpCard));
        record.FieldByName(QStringLiteral("CDFILCENTPME"))->setAsString(keys.value(0));
        record.FieldByName(QStringLiteral("CDTIPOCARD"))->setAsString(keys.value(1));
    };
    dados.antesCor = [this] {
        if (editing(*cdsReceTpCard))
            return false;
        Vd_CdTipoCard(false);
        return true;
    };
    dados.lista = cdsReceTpCard;
    dados.reescala = [this](double factor) { Calcula_Qtde_Prop_Pessoa(*cdsReceTpCard, factor); };
    m_paineis[static_cast<int>(Level::TpCard)] =
        new recipe::PainelPrato(*this, tpCard, recipe::controlesPrato(Level::TpCard), tshTpCard, *cdsPratTpCard,
                                *dtsPratTpCard, std::move(dados));

    recipe::SeletoresNivel::Componentes seletores{.panFilial = panFilial,
                                                  .panServico = panServico,
                                                  .panTpCard = panTpCard,
                                                  .medCdFilial = medCdFilial,
                                                  .medCdFiliServ = medCdFiliServ,
                                                  .medCdServico = medCdServico,
                                                  .medCdCentral = medCdCentral,
                                                  .medCdTpCard = medCdTpCard,
                                                  .edtNmTpCard = edtNmTpCard,
                                                  .qryTipoCard = qryTipoCard,
                                                  .cdsReceFili = cdsReceFili,
                                                  .cdsReceServ = cdsReceServ,
                                                  .cdsReceTpCard = cdsReceTpCard,
                                                  .cdsDadosPrat = cdsDadosPrat,
                                                  .tshPadrao = tshPadrao,
                                                  .validaCentral = [this](bool required) { VdCentral(required); }};
    m_seletoresNivel = new recipe::SeletoresNivel(*this, std::move(seletores), PainelDados(Level::Filial),
                                                  PainelDados(Level::Servico), PainelDados(Level::TpCard));
}

recipe::PaginaReceita& TfrmReceitaPadrao::PaginaNivel(Level level) const
{
    return *m_paginasNivel.at(static_cast<int>(level));
}

// --- Selectors and the lock of revised recipes ----------------------------------------------------

void TfrmReceitaPadrao::validaSeletores(const LevelFields& level)
{
    if (level.level == Level::TpCard) {
        Vd_CdTipoCard(true);
        return;
    }
    const bool servico = level.level == Level::Servico;
    TMaskEdit* branch = servico ? medCdFiliServ : medCdFilial;
    QLineEdit* name = findChild<QLineEdit*>(servico ? QStringLiteral("edtNmFiliServ") : QStringLiteral("edtNmFilialLoc"));
    const QString code = Ajusta(branch->Text(), 4);
    if (code != branch->Text())
        branch->setText(code);
    try {
        name->setText(ValidaFilial(code, hostContext().Operador, true));
    } catch (...) {
        if (branch->isEnabled())
            branch->setFocus();
        throw;
    }
    if (servico)
        recipe::Validacao(*msgPadrao, *qryServico)
            .Vd_CdServico(code, *medCdServico, *findChild<QLineEdit*>(QStringLiteral("edtNmServico")), true);
}

void TfrmReceitaPadrao::entraGradeNivel(const LevelFields& level)
{
    if (level.level == Level::Servico && medCdServico->Text().trimmed().isEmpty()) {
        medCdServico->setFocus();
        // The page being opened hands its grid the focus: the planner has yet to choose a service.
        if (m_paginaAtual != tshReceServ)
            return;
        MensErro(msgPadrao->Msg(QStringLiteral("SERV_EMPTY")));
    }
    validaSeletores(level);
    // The menu-type page reads the parameters of the branch chosen on the branch page.
    carregaParamPrato(level.level == Level::Servico ? medCdFiliServ->Text() : medCdFilial->Text());
    atualizaTrocaProduto();
}

void TfrmReceitaPadrao::carregaParamPrato(const QString& branch)
{
    QVariantList args{Ajusta(branch, 4)};
    recipe::loadPacket(cdsParamPrato, netReceitaPadrao->call(QStringLiteral("GetParamPlaneja"), args,
                                                             QStringLiteral("get_cdsParamPlaneja")));
}

bool TfrmReceitaPadrao::BloqAltRecLo(bool raise)
{
    QWidget* tab = pgcPadrao->currentWidget();
    const bool levelPage = tab == tshReceLoca || tab == tshReceServ;
    const bool raises = raise && (levelPage || tab == tshTpCard);
    carregaParamPrato(tab == tshTpCard ? medCdCentral->Text() : tab == tshReceServ ? medCdFiliServ->Text() : medCdFilial->Text());
    const int answer =
        netReceitaPadrao->call(QStringLiteral("GetParamGrup"), {hostContext().Operador, QStringLiteral("ARRV")}).toInt();
    const bool standard = cdsPrato->Active() && !cdsPrato->IsEmpty()
                          && cdsPrato->FieldByName(QStringLiteral("CDFILAUXPRAT"))->AsString() == u"P";
    const bool locked = recipe::flag(cdsParamPrato, "IDBLOALTRELO") == u"S" && levelPage && standard && answer != 1;
    if (raises && locked) {
        msgPadrao->ShowMsg(answer == -1 ? QStringLiteral("opernaut") : QStringLiteral("recelocbloqalt"), mtError, mbOK);
        throw Abort();
    }
    return locked;
}

void TfrmReceitaPadrao::Vd_CdTipoCard(bool required) { m_seletoresNivel->Vd_CdTipoCard(required); }
