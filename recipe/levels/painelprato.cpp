// The dish-data panel of a recipe level: the names of each level's controls, the record's
// events and checks, the sending of each change, the colours and the dish weight. Its fields and
// controls are made in painelprato_controles.cpp.
#include "painelprato.h"

#include "recipe/record/containerprato.h"
#include "recipe/core/enviador.h"
#include "recipe/core/contextoreceita.h"
#include "recipe/quantities/quantidadepessoa.h"
#include "recipe/core/respostaservidor.h"
#include "recipe/core/tabelapaginas.h"
#include "recipe/core/validacao.h"

#include "framework/abort.h"
#include "framework/core/consiste.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/ui/btnpesquisa.h"
#include "framework/ui/dbcheckbox.h"
#include "framework/ui/dbcombobox.h"
#include "framework/ui/dbedit.h"
#include "framework/ui/dialogs.h"
#include "framework/ui/guard.h"
#include "framework/ui/messages.h"
#include "framework/ui/shape.h"
#include "server/connection.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QScopeGuard>
#include <QTabWidget>

#include <algorithm>

namespace recipe {

using framework::ClientDataSet;
using framework::Field;
using framework::FieldType;
using framework::TDBEdit;
using State = ClientDataSet::State;

namespace {


QString storageOfIndex(int index)
{
    return index == 0 ? QStringLiteral("RESFRIADO") : index == 1 ? QStringLiteral("CONGELADO") : QStringLiteral("NENHUM");
}

ControlesPrato padrao()
{
    ControlesPrato c;
    c.panel = QStringLiteral("panDadosPrat");
    c.progressKey = QStringLiteral("upd_cdsDadosPrat");
    c.shapes[0] = QStringLiteral("shpCorPrincipal");
    c.shapes[1] = QStringLiteral("shpCorSecundaria");
    c.shapes[2] = QStringLiteral("shpCorAuxiliar");
    c.cookChill = QStringLiteral("ckbCookChillPadr");
    c.anticipation = QStringLiteral("dbeLimAntePadr");
    c.anticipationLabel = QStringLiteral("lblLimAntePadr");
    c.storage = QStringLiteral("cbbTpArmPadr");
    c.storageLabel = QStringLiteral("lblTpArmPadr");
    c.finalOrigin = QStringLiteral("cbxMatFiliPadr");
    c.status = QStringLiteral("dcbStatusPadrao");
    return c;
}

ControlesPrato filial()
{
    ControlesPrato c;
    c.panel = QStringLiteral("panDadPratLoca");
    c.progressKey = QStringLiteral("upd_cdsPratFili");
    c.shapes[0] = QStringLiteral("shpCorPrincFili");
    c.shapes[1] = QStringLiteral("shpCorSecFili");
    c.shapes[2] = QStringLiteral("shpCorAuxFili");
    c.cookChill = QStringLiteral("chbProdChillFili");
    c.anticipation = QStringLiteral("dbeLimAnteLocal");
    c.anticipationLabel = QStringLiteral("lblLimAnteLocal");
    c.storage = QStringLiteral("cbbTpArmLocal");
    c.storageLabel = QStringLiteral("lblTpArmLocal");
    c.finalOrigin = QStringLiteral("cmbMatFili");
    c.status = QStringLiteral("dcbStatusLocal");
    return c;
}

ControlesPrato servico()
{
    ControlesPrato c;
    c.panel = QStringLiteral("panDadPratServ");
    c.progressKey = QStringLiteral("upd_cdsPratServ");
    c.shapes[0] = QStringLiteral("shpCorPrincServ");
    c.shapes[1] = QStringLiteral("shpCorSecServ");
    c.shapes[2] = QStringLiteral("shpCorAuxServ");
    c.cookChill = QStringLiteral("chbCookChillServ");
    c.anticipation = QStringLiteral("dbeLimAnteServ");
    c.anticipationLabel = QStringLiteral("lblLimAnteServ");
    c.storage = QStringLiteral("cbbTpArmServ");
    c.storageLabel = QStringLiteral("lblTpArmServ");
    c.finalOrigin = QStringLiteral("cbxMatFiliServ");
    c.status = QStringLiteral("dcbStatusServico");
    return c;
}

// The menu type keeps colours, portion, transport group, fancy name and status only.
ControlesPrato tpCard()
{
    ControlesPrato c;
    c.panel = QStringLiteral("panDadosPratTC");
    c.progressKey = QStringLiteral("upd_cdsPratTpCard");
    c.shapes[0] = QStringLiteral("shpCorPrincipalTC");
    c.shapes[1] = QStringLiteral("shpCorSecundariaTC");
    c.shapes[2] = QStringLiteral("shpCorAuxiliarTC");
    c.qtyPerPerson = QStringLiteral("dbeQtTC");
    c.qtyPerContainer = QStringLiteral("dbeQtContainerTC");
    c.sample = QStringLiteral("dbeQtAmostrTC");
    c.minPercent = QStringLiteral("dbePerMinContTC");
    c.fancyName = QStringLiteral("dbeNmFantasiaTC");
    c.status = QStringLiteral("dcbStatusTipo");
    return c;
}

// The edits whose names follow the level's suffix.
ControlesPrato comSufixo(ControlesPrato c, const QString& suffix)
{
    c.qtyPerPerson = QStringLiteral("dbeQtPadrao") + suffix;
    c.qtyPerContainer = QStringLiteral("dbeQtContai") + suffix;
    c.sample = QStringLiteral("dbeQtAmostr") + suffix;
    c.minPercent = QStringLiteral("dbePerMinCont") + suffix;
    c.fancyName = QStringLiteral("dbeNmFantasia") + suffix;
    c.production = QStringLiteral("dbeCdProd") + suffix;
    c.mediCaseCode = QStringLiteral("dbeCdMediCase") + suffix;
    c.mediCaseButton = QStringLiteral("btnPesqMediCase") + suffix;
    c.mediCaseName = QStringLiteral("dbeNmMediCase") + suffix;
    c.mediCaseQty = QStringLiteral("dbeQtMediCase") + suffix;
    return c;
}

} // namespace

const ControlesPrato& controlesPrato(Level level)
{
    static const ControlesPrato tables[] = {comSufixo(padrao(), QStringLiteral("Padr")), tpCard(),
                                            comSufixo(filial(), QStringLiteral("Fili")),
                                            comSufixo(servico(), QStringLiteral("Serv"))};
    return tables[static_cast<int>(level)];
}

void addPainelPratoMessages(framework::TMessages& messages)
{
    messages.Add({
        {"MATRIZ", "Matriz"},
        {"ANTECIPACAO_N_INF", "Antecipação deve ser informada."},
        {"ANTECIPACAO_NEG_ZER", "Antecedência deve ser maior que zero."},
        {"TPARM_N_INF", "Tipo de armazenamento deve ser informado."},
        {"MEDICASE", "Medida Caseira"},
        {"MEDICASE_INV", "Medida caseira não cadastrada."},
        {"MEDICASE_N_CAD", "Não há medida caseira cadastrada."},
        {"get_cdsMediCase", "Carregando medidas caseiras..."},
        {"get_cdsVdMediCase", "Validando medida caseira..."},
        {"upd_cdsDadosPrat", "Atualizando dados do prato..."},
        {"upd_cdsPratFili", "Atualizando pratos por filial..."},
        {"upd_cdsPratServ", "Atualizando pratos por serviço..."},
    });
}

PainelPrato::PainelPrato(ContextoReceita& contexto, const LevelFields& level, const ControlesPrato& names, QWidget* page,
                         ClientDataSet& dados, framework::DataSource& fonte, Regras regras)
    : QObject(&contexto.janela()), m_contexto(contexto), m_nivel(level), m_nomes(names), m_regras(std::move(regras)),
      m_dados(&dados), m_fonte(&fonte)
{
    setObjectName(names.panel + QStringLiteral("Regras"));
    m_validacao = std::make_unique<Validacao>(contexto.mensagens(), contexto.servicos());
    m_enviador = std::make_unique<Enviador>(contexto.servidor());
    declaraCampos();
    criaControles(page);
    liga();
}

PainelPrato::~PainelPrato() = default;

// --- Fields and controls ---------------------------------------------------------------------

Field* PainelPrato::campo(const QString& name) const
{
    return name.isEmpty() ? nullptr : m_dados->FindField(name);
}

void PainelPrato::herdaNomeFantasia(const QString& nome)
{
    if (m_contexto.consulta() || nome.trimmed().isEmpty() || !m_dados->Active() || editando())
        return;
    Field* fantasia = campo(m_nivel.dish.fancyName);
    if (!m_dados->IsEmpty() && !fantasia->AsString().trimmed().isEmpty())
        return;
    if (m_dados->IsEmpty())
        m_dados->Insert();
    else
        m_dados->Edit();
    fantasia->setAsString(nome);
    m_dados->Post(); // BeforePost sets the dish and the level's keys
}

bool PainelPrato::editando() const
{
    return m_dados->state() == State::Edit || m_dados->state() == State::Insert;
}

void PainelPrato::falha(const char* key, QWidget* control) const { recipe::falha(m_contexto.mensagens(), key, control); }

QString PainelPrato::listaCamposNulos(const ClientDataSet& dados)
{
    QString list;
    for (const Field* f : dados.Fields())
        if (!f->Calculated() && f->IsNull())
            list += u'_' + f->FieldName();
    return list + u'_';
}

// --- What the controls show ------------------------------------------------------------------

void PainelPrato::mostraRegistro()
{
    const bool registro = m_dados->Active() && !m_dados->IsEmpty();
    const auto texto = [&](const QString& name) {
        const Field* f = registro ? campo(name) : nullptr;
        return f ? f->AsString() : QString();
    };
    if (m_validade) {
        const Field* f = registro ? campo(m_nivel.dish.validityHours) : nullptr;
        m_validade->setText(f && !f->IsNull() ? RealToStTime(f->AsFloat()) : QString());
    }
    if (m_armazenamento)
        m_armazenamento->setCurrentIndex(indexTipoArmazenamento(texto(QStringLiteral("IDTPPRODCHILL"))));
    if (m_origem)
        m_origem->setCurrentIndex(texto(m_nivel.dish.finalOrigin) == u"F" ? 1 : 0);
    HabCamposCookChill();
    pintaCores();
}

void PainelPrato::pintaCores()
{
    const bool registro = m_dados->Active() && !m_dados->IsEmpty();
    const QString fields[] = {m_nivel.dish.colorPrincipal, m_nivel.dish.colorSecondary, m_nivel.dish.colorAuxiliary};
    for (int i = 0; i < 3; ++i) {
        if (!m_cores[i])
            continue;
        const Field* f = registro ? campo(fields[i]) : nullptr;
        m_cores[i]->setBrushColor(f && !f->IsNull() ? framework::colorFromNumber(f->Value()) : QColor(Qt::white));
    }
}

void PainelPrato::estadoMudou()
{
    for (framework::TShape* shape : m_cores)
        if (shape && m_nivel.level != Level::Padrao)
            shape->setEnabled(m_dados->Active());
    pintaCores();
    // Coming out of the edit, the post's sending or the cancel set the commands.
    const bool emEdicao = editando();
    if (emEdicao && !std::exchange(m_emEdicao, emEdicao))
        comandos();
    m_emEdicao = emEdicao;
}

void PainelPrato::comandos()
{
    if (m_contexto.paginaVisivel()->objectName() != m_nivel.page)
        return;
    // A record being edited, or a change the server refused, can be confirmed or cancelled
    // (the page table says where); meanwhile the other pages wait.
    const bool pendente = TabelaPaginas::pendente(m_dados) || TabelaPaginas::pendente(m_regras.lista);
    m_contexto.AtualizaBotoes();
    m_contexto.Habilita_Pagina(!pendente);
}

void PainelPrato::entraEdicao()
{
    if (!m_dados->Active() || editando())
        return;
    try {
        if (m_dados->IsEmpty())
            m_dados->Insert();
        else
            m_dados->Edit();
    } catch (...) {
        mostraRegistro(); // what the refused change showed goes back
        throw;
    }
}

void PainelPrato::exigeVista() const
{
    if (!filtradoPeloPrato(*m_dados, m_contexto.pratos()))
        throw framework::Abort();
    if (m_regras.exigeSeletores)
        m_regras.exigeSeletores();
}

void PainelPrato::altera()
{
    entraEdicao();
    if (m_qtPessoa && m_qtPessoa->isEnabled())
        m_qtPessoa->setFocus();
}

// --- Cook chill ------------------------------------------------------------------------------

void PainelPrato::HabCamposCookChill()
{
    if (!m_cookChill)
        return;
    const Field* chill = campo(QStringLiteral("IDPRODCHILL"));
    const bool checked = m_dados->Active() && !m_dados->IsEmpty() && chill && chill->AsString() == u"S";
    for (QWidget* w : std::initializer_list<QWidget*>{m_lblAntecipacao, m_antecipacao, m_lblArmazenamento, m_armazenamento})
        if (w)
            w->setEnabled(checked);
}

void PainelPrato::defaultCamposCookChill()
{
    if (!m_cookChill || !editando() || campo(QStringLiteral("IDPRODCHILL"))->AsString() == u"S")
        return;
    if (Field* antecipacao = campo(m_nivel.dish.anticipation))
        antecipacao->setAsString(QStringLiteral("0"));
    m_armazenamento->setCurrentIndex(indexTipoArmazenamento(QStringLiteral("NENHUM")));
    campo(QStringLiteral("IDTPPRODCHILL"))->setAsString(QStringLiteral("NENHUM"));
}

void PainelPrato::VdCookchill()
{
    if (!m_cookChill || campo(QStringLiteral("IDPRODCHILL"))->AsString() != u"S")
        return;
    if (const Field* antecipacao = campo(m_nivel.dish.anticipation)) {
        if (antecipacao->AsString().trimmed().isEmpty())
            falha("ANTECIPACAO_N_INF", m_antecipacao);
        if (antecipacao->AsString().trimmed().toInt() <= 0)
            falha("ANTECIPACAO_NEG_ZER", m_antecipacao);
    }
    if (storageOfIndex(m_armazenamento->currentIndex()) == u"NENHUM")
        falha("TPARM_N_INF", m_armazenamento);
}

// --- Household measure -----------------------------------------------------------------------

void PainelPrato::PesqMediCase()
{
    if (m_nomes.mediCaseButton.isEmpty())
        return;
    if (auto* button = m_contexto.janela().findChild<framework::TBtnPesquisa*>(m_nomes.mediCaseButton))
        button->Execute();
}

void PainelPrato::vd_MediCase()
{
    Field* cd = campo(QStringLiteral("CDMEDICASE"));
    if (!cd || cd->IsNull() || !editando())
        return;
    loadPacket(m_vdMediCase, m_contexto.servidor().call(QStringLiteral("vdMediCase"), {cd->AsString()},
                                                           QStringLiteral("get_cdsVdMediCase")));
    if (m_vdMediCase->IsEmpty())
        falha("MEDICASE_INV", m_cdMediCase);
    cd->setValue(m_vdMediCase->FieldByName(QStringLiteral("CDMEDICASE"))->Value());
    campo(QStringLiteral("NMMEDICASE"))->setValue(m_vdMediCase->FieldByName(QStringLiteral("NMMEDICASE"))->Value());
}

// --- Record events ---------------------------------------------------------------------------

void PainelPrato::BeforeInsert()
{
    if (m_contexto.consulta())
        throw framework::Abort();
    exigeVista();
    if (m_regras.antesIncluir)
        m_regras.antesIncluir();
    m_autorizacaoPendente = bool(m_regras.autorizaInclusao);
}

void PainelPrato::BeforeEdit()
{
    if (m_contexto.consulta())
        throw framework::Abort();
    exigeVista();
    if (m_regras.antesAlterar)
        m_regras.antesAlterar();
    m_autorizacaoPendente = bool(m_regras.autorizaAlteracao);
}

void PainelPrato::NewRecord()
{
    campo(QStringLiteral("IDATIVO"))->setAsString(QStringLiteral("S"));
    defaultCamposCookChill();
}

TransporteNivel PainelPrato::transporte() const
{
    return {m_qtContainer, m_amostra, m_perMin};
}

void PainelPrato::BeforePost()
{
    const LevelFields::DishData& d = m_nivel.dish;
    const bool semPergunta = std::exchange(m_semPergunta, false);
    vd_MediCase();
    if (Field* qt = campo(d.householdQty); qt && !qt->IsNull())
        qt->setAsFloat(framework::RoundDec(qt->AsFloat(), 5));
    if (Field* arvore = campo(QStringLiteral("CDARVPROD")); arvore && arvore->IsNull())
        campo(QStringLiteral("CDPRODPRODUCAO"))->Clear();
    if (Field* qt = campo(d.qtyPerPerson))
        Vd_QtPadrao(*qt, m_qtPessoa, m_contexto.mensagens());
    if (Vd_QtContainer && m_qtContainer)
        Vd_QtContainer(*m_qtContainer);

    // A new record takes the dish's and the level's keys; an existing one keeps its own.
    if (m_dados->state() == State::Insert) {
        if (m_regras.chaves)
            m_regras.chaves(*m_dados);
        for (const char* key : {"CDFILAUXPRAT", "CDPRATO"})
            campo(QString::fromLatin1(key))->setValue(m_contexto.pratos().FieldByName(QString::fromLatin1(key))->Value());
    }
    // A code typed and posted without leaving its edit is checked and resolved all the same.
    if (Vd_ProdProd)
        Vd_ProdProd();

    if (Field* validade = campo(d.validityHours); validade && m_validade) {
        // No validity typed is none stored: a level's empty override leaves the standard one.
        const QString typed = m_validade->Text();
        if (std::none_of(typed.begin(), typed.end(), [](QChar c) { return c.isDigit(); })) {
            m_validade->clear();
            validade->Clear();
        } else {
            const QString text = m_validacao->AjustaHora(typed);
            m_validade->setText(text);
            validade->setAsFloat(m_validacao->StTimeToReal(text));
        }
    }
    VdCookchill();
    if (m_origem)
        campo(d.finalOrigin)->setAsString(m_origem->currentIndex() == 0 ? QStringLiteral("M") : QStringLiteral("F"));
    if (m_armazenamento)
        campo(QStringLiteral("IDTPPRODCHILL"))->setAsString(storageOfIndex(m_armazenamento->currentIndex()));
    // Last: the question, then the supervisor, then the rows are rescaled, only for a record every
    // check has let through. The rows rescaled go to the server in a change of their own, which
    // the same authorisation covers.
    const std::optional<double> fator = semPergunta ? std::nullopt : perguntaProporcional();
    autorizaPendente(fator ? 2 : 1);
    if (fator && m_regras.lista) {
        if (m_regras.reescala)
            m_regras.reescala(*fator);
        m_qtEscala = campo(d.qtyPerPerson)->Value();
    }
}

void PainelPrato::autorizaPendente(int changes)
{
    if (!std::exchange(m_autorizacaoPendente, false) || !editando())
        return;
    const auto& autoriza = m_dados->state() == State::Insert ? m_regras.autorizaInclusao : m_regras.autorizaAlteracao;
    if (!autoriza(changes)) {
        m_dados->Cancel();
        throw framework::Abort();
    }
}

std::optional<double> PainelPrato::perguntaProporcional() const
{
    const Field* qt = campo(m_nivel.dish.qtyPerPerson);
    if (!qt || !m_regras.lista)
        return std::nullopt;
    const double antes = m_qtEscala.isNull() ? 0 : m_qtEscala.toDouble();
    const double agora = qt->IsNull() ? 0 : qt->AsFloat();
    if (antes == 0 || agora == 0 || antes == agora)
        return std::nullopt;
    if (m_contexto.mensagens().ShowMsg(QStringLiteral("alt_prop_prod_rec"), framework::mtConfirmation,
                                  framework::mbYes | framework::mbNo)
        != framework::mrYes)
        return std::nullopt;
    return agora / antes;
}

void PainelPrato::AfterPost() { envia(); }

void PainelPrato::envia()
{
    // The server cannot tell a field left empty from one the change does not touch: the
    // record's null fields are named.
    const QString nulos = listaCamposNulos(*m_dados);
    const auto refresh = qScopeGuard([this] {
        mostraRegistro();
        comandos();
    });
    m_enviador->envia(*m_dados, {m_nivel.dish.updateMethod, m_nomes.progressKey, {nulos}, {}});
}

void PainelPrato::AfterDelete()
{
    const auto refresh = qScopeGuard([this] { comandos(); });
    m_enviador->envia(*m_dados, {m_nivel.dish.updateMethod, m_nomes.progressKey, {QString()}, {}});
}

// --- Colours and dish weight -----------------------------------------------------------------

void PainelPrato::escolheCor(int shape)
{
    const QString fields[] = {m_nivel.dish.colorPrincipal, m_nivel.dish.colorSecondary, m_nivel.dish.colorAuxiliary};
    // Query mode reads the colours: no dialog is offered.
    if (shape < 0 || shape > 2 || !m_cores[shape] || fields[shape].isEmpty() || m_contexto.consulta())
        return;
    if (m_regras.antesCor && !m_regras.antesCor())
        return;
    if (!m_dados->Active())
        return;
    exigeVista();
    const std::optional<QColor> color = framework::EscolherCor(m_cores[shape]->BrushColor());
    if (!color)
        return;
    entraEdicao();
    campo(fields[shape])->setValue(framework::numberFromColor(*color));
    m_cores[shape]->setBrushColor(*color);
    m_dados->Post();
}

void PainelPrato::gravaPesoPorcao(double weight)
{
    m_semPergunta = true;
    const auto clear = qScopeGuard([this] { m_semPergunta = false; });
    entraEdicao();
    campo(m_nivel.dish.qtyPerPerson)->setAsFloat(weight);
    m_dados->Post();
}

} // namespace recipe
