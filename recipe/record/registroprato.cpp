// The dish record's rules: the new code, the checks of insertion, alteration, post and
// deletion, the supervisor's authorisations and the sending of each change at once.
#include "recipe/core/cli_pla01300.h"
#include "recipe/core/enviador.h"
#include "recipe/core/contextoreceita.h"
#include "registroprato.h"
#include "recipe/core/respostaservidor.h"

#include "framework/abort.h"
#include "framework/core/consiste.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/forms/dbtree.h"
#include "framework/ui/btnpesquisa.h"
#include "framework/ui/dbcombobox.h"
#include "framework/ui/dbedit.h"
#include "framework/ui/guard.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/messages.h"
#include "framework/ui/query.h"
#include "framework/ui/showavi.h"
#include "framework/ui/tabvalid.h"
#include "server/autoriza.h"
#include "server/connection.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScopeGuard>
#include <QTimer>

#include <utility>
#include <QTabWidget>

using namespace framework;

namespace {

using State = ClientDataSet::State;

TDBPicture dishPicture() { return hostContext().DBPictObj(1); }

Field* field(const ClientDataSet* dataSet, const char* name) { return dataSet->FieldByName(QString::fromLatin1(name)); }

QString text(const ClientDataSet* dataSet, const char* name) { return field(dataSet, name)->AsString(); }

// The key of an operation's message: "I" include, "A" alter, "E" delete; nullptr for no message.
const char* byOperation(const QString& operation, const char* include, const char* alter, const char* remove)
{
    if (operation == u"I")
        return include;
    if (operation == u"A")
        return alter;
    if (operation == u"E")
        return remove;
    return nullptr;
}

// Kind of the supervisor authorisations of standard dishes.
constexpr int kindPrato = 4;

} // namespace

namespace recipe {

RegistroPrato::RegistroPrato(ContextoReceita& contexto, QWidget& owner, QWidget& pagina, DataSource& fonte,
                             QWidget& panFiliPrato)
    : QObject(&owner), m_contexto(contexto), m_owner(owner), m_pagina(pagina), m_fonte(fonte),
      m_panFiliPrato(panFiliPrato), m_enviador(std::make_unique<Enviador>(contexto.servidor()))
{
    setObjectName(QStringLiteral("registroPrato"));
    declaraCampos();
    criaConsultas();
    criaControles(pagina);
    liga();
}

void RegistroPrato::liga()
{
    ClientDataSet& prato = *pratos();
    prato.BeforeInsert = [this](ClientDataSet&) { cdsPratoBeforeInsert(); };
    prato.AfterInsert = [this](ClientDataSet&) { cdsPratoAfterInsert(); };
    prato.BeforeEdit = [this](ClientDataSet&) { cdsPratoBeforeEdit(); };
    prato.BeforePost = [this](ClientDataSet&) { cdsPratoBeforePost(); };
    prato.AfterPost = [this](ClientDataSet&) { cdsPratoAfterPost(); };
    prato.BeforeDelete = [this](ClientDataSet&) { cdsPratoBeforeDelete(); };
    prato.AfterDelete = [this](ClientDataSet&) { cdsPratoAfterDelete(); };
    prato.AfterScroll = [this](ClientDataSet&) { cdsPratoAfterScroll(); };
    m_contexto.parametrosGerais().AfterPost = [this](ClientDataSet&) { cdsParamGeralAfterPost(); };
    guardedConnect(&m_fonte, &DataSource::stateChanged, this, [this] { dtsPratoStateChange(); });

    guardedConnect(m_c.dbeCdPrato, &TMaskEdit::exited, this, [this] { dbeCdPratoExit(); });
    guardedConnect(m_c.dbeCdUnidade, &TMaskEdit::exited, this, [this] { Vd_SgUnidPrato(false); });
    guardedConnect(m_c.dbeNmFormaPreparo, &TMaskEdit::exited, this, [this] { Vd_SgUnidPrato(false); });
    guardedConnect(m_c.dbeArredTrans, &TMaskEdit::exited, this, [this] { Vd_VrArredTrans(); });
    installGuardedEventFilter(m_c.dbeTempo, [this](QObject*, QEvent* event) {
        return event->type() == QEvent::KeyPress && dbeTempoKeyPress(static_cast<const QKeyEvent&>(*event));
    });
    ligaPesquisa(*m_c.btpUnidade, *m_c.qryUnidade, QStringLiteral("SGUNIDADE"), {QStringLiteral("SGUNIDADE")});
    ligaPesquisa(*m_c.btnSegMerc, *m_c.qrySegMer, QStringLiteral("CDSEGMER"),
                 {QStringLiteral("CDSEGMER"), QStringLiteral("DSSEGMER")});
}

ClientDataSet* RegistroPrato::pratos() const { return &m_contexto.pratos(); }

void RegistroPrato::falha(const char* key, QWidget* control) const { recipe::falha(m_contexto.mensagens(), key, control); }

RegistroPrato::~RegistroPrato() = default;

bool RegistroPrato::inserting() const { return pratos()->state() == State::Insert; }

bool RegistroPrato::treeMatchesRecord() const
{
    const QString record = pratos()->Active() && !pratos()->IsEmpty() ? text(pratos(), "CDPRATO") : QString();
    return m_contexto.codigoArvore() == record;
}

void RegistroPrato::mostraNivelCompleto(const QString& code)
{
    m_contexto.Habilita_NivelCompleto(code);
    const bool complete = nivelCompleto(code);
    for (QWidget* w : {static_cast<QWidget*>(m_c.dcbPrato), static_cast<QWidget*>(m_c.dcbStatus), static_cast<QWidget*>(m_c.lblStatus)})
        w->setVisible(complete);
}

// --- The record page's commands --------------------------------------------------------------

void RegistroPrato::inclui()
{
    m_contexto.Habilita_NivelCompleto(m_c.dbeCdPrato->Text());
    if (m_c.dbeNmPrato->isEnabled())
        m_c.dbeNmPrato->setFocus();
    // The code check of the new dish reads the dishes as they are now.
    try {
        carregaPratoAux();
    } catch (...) {
        if (m_c.dbeNmPrato->isEnabled())
            m_c.dbeNmPrato->setFocus();
        throw;
    }
    if (pratos()->state() == State::Browse)
        pratos()->Insert();
    mostraNivelCompleto(text(pratos(), "CDPRATO"));
}

void RegistroPrato::altera()
{
    if (NivelBloq(text(pratos(), "CDPRATO")))
        falha("NIVBL_ALT");
    if (m_c.dbeNmPrato->isEnabled())
        m_c.dbeNmPrato->setFocus();
    pratos()->Edit();
    autorizaAlteracao();
}

void RegistroPrato::exclui()
{
    // The idle timer stays off while the command runs and comes back as it was.
    QTimer& idle = m_contexto.inatividade();
    const bool idleWasActive = idle.isActive();
    idle.stop();
    const auto restart = qScopeGuard([&idle, idleWasActive] {
        if (idleWasActive)
            idle.start();
    });
    m_contexto.sincronizaArvore();
    Vd_NivelPrato(QStringLiteral("E"));
    const QString code = text(pratos(), "CDPRATO");
    if (NivelBloq(code))
        falha("NIVBL_EXC");
    const int level = text(pratos(), "CDNVPRATO").toInt();
    if (level < dishPicture().GetTtNiveis()) {
        // A group with dishes under it stays (the server also looks at other branches' trees).
        carregaPratoAux();
        m_c.cdsPratoAux->setFilter(QStringLiteral("CDPRATO LIKE ") + QuotedStr(code + u'%'));
        m_c.cdsPratoAux->setFiltered(true);
        const auto unfilter = qScopeGuard([this] {
            m_c.cdsPratoAux->setFiltered(false);
            m_c.cdsPratoAux->setFilter({});
        });
        if (m_c.cdsPratoAux->RecordCount() > 1)
            falha("Excl_Inv");
    }
    if (pratos()->IsEmpty())
        falha("NO_DADOS");
    if (pratos()->state() != State::Browse
        || msgMensagensPadroes().ShowMsg(QStringLiteral("Excl"), mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    m_contexto.sincronizaArvore();
    pratos()->Delete();
    if (pratos()->IsEmpty())
        RefreshPesqPrato(true);
    m_contexto.sincronizaArvore();
}

void RegistroPrato::cancela()
{
    if (msgMensagensPadroes().ShowMsg(QStringLiteral("Canc"), mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    ClientDataSet& prato = *pratos();
    if (prato.state() == State::Edit || prato.state() == State::Insert)
        prato.Cancel();
    // A change the server refused is still pending: giving up the edit gives it up too.
    if (prato.Active() && prato.ChangeCount() > 0)
        prato.CancelUpdates();
    mostraNivelCompleto(m_contexto.codigoArvore());
}

// --- New code ----------------------------------------------------------------------------------

QString RegistroPrato::propoeCodigo()
{
    const TDBPicture picture = dishPicture();
    const int levels = picture.GetTtNiveis();
    const bool empty = !pratos()->Active() || pratos()->IsEmpty();
    const QString current = empty ? QString() : text(pratos(), "CDPRATO");
    const int level = empty ? 0 : text(pratos(), "CDNVPRATO").toInt();
    // Below the group of dishes the new node is a child of the current one; from there on it is
    // a dish of the current node's group.
    const bool lastLevel = level >= levels - 1;
    const QString prefix = lastLevel ? current.left(picture.TamAcNivel(levels - 1)) : current;
    const int newLevel = lastLevel ? levels : level + 1;
    const int width = picture.TamNivel(newLevel);

    QVariantList args{QString::number(newLevel), prefix + u'%', m_contexto.filialTrabalho(), hostContext().ModuFili,
                      picture.TamNivel(lastLevel ? levels : level), lastLevel ? current : QString(), lastLevel};
    recipe::loadPacket(m_c.cdsProxCodPrato, m_contexto.servidor().call(QStringLiteral("GetProxCodPrato"), args,
                                                               QStringLiteral("get_cdsProxCodPrato")));
    const QString highest = m_c.cdsProxCodPrato->IsEmpty() ? QString() : text(m_c.cdsProxCodPrato, "CDPRATO").trimmed();

    if (!lastLevel) {
        const int sequence = highest.isEmpty() ? 1 : highest.mid(picture.TamAcNivel(level)).toInt() + 1;
        const QString digits = Ajusta(QString::number(sequence), width);
        return digits.size() > width ? QString() : current + digits;
    }
    // A full group proposes the highest code itself, which the post then refuses as existing.
    bool number = false;
    const int found = highest.mid(prefix.size(), width).toInt(&number);
    const QString sequence = QString::number(highest.isEmpty() || !number ? 0 : found + 1);
    return sequence.size() > width ? highest : prefix + Ajusta(sequence, width);
}

// --- Insertion ---------------------------------------------------------------------------------

void RegistroPrato::cdsPratoBeforeInsert()
{
    if (m_reabrindoPrato)
        return;
    if (m_contexto.consulta())
        throw Abort();
    if (hostContext().ModuFili && flag(&m_contexto.parametrosPlanejamento(), "IDBLOPRATLOC") == u"S")
        falha("BloPratLoc");
    m_codigoProposto = propoeCodigo();
}

void RegistroPrato::cdsPratoAfterInsert()
{
    if (m_reabrindoPrato)
        return;
    field(pratos(), "CDPRATO")->setAsString(m_codigoProposto);
    field(pratos(), "CDFILAUXPRAT")->setAsString(QStringLiteral("P"));
    field(pratos(), "CDFILIAL")->Clear();
    field(pratos(), "IDATIVO")->setAsString(QStringLiteral("S"));
    if (!nivelCompleto(m_codigoProposto))
        return;
    if (hostContext().ModuFili) {
        field(pratos(), "CDFILAUXPRAT")->setAsString(m_contexto.filialTrabalho());
        field(pratos(), "CDFILIAL")->setAsString(m_contexto.filialTrabalho());
        m_c.dcbPrato->setReadOnly(true);
    } else {
        m_c.dcbPrato->setReadOnly(flag(&m_contexto.parametrosPlanejamento(), "IDBLOPRATLOC") == u"S");
    }
}

void RegistroPrato::dbeCdPratoExit()
{
    if (!inserting())
        return;
    Vd_CdPrato(false);
    const QString code = text(pratos(), "CDPRATO");
    mostraNivelCompleto(code);
    if (!m_c.btpUnidade->isEnabled())
        field(pratos(), "SGUNIDADE")->Clear();
    if (nivelCompleto(code))
        m_c.dcbStatus->setCurrentIndex(0);
    if (hostContext().ModuFili) {
        field(pratos(), "CDFILAUXPRAT")->setAsString(m_contexto.filialTrabalho());
        field(pratos(), "CDFILIAL")->setAsString(m_contexto.filialTrabalho());
        m_c.dcbPrato->setReadOnly(true);
        m_c.dcbPrato->show();
    }
}

void RegistroPrato::Vd_CdPrato(bool required)
{
    if (!inserting())
        return;
    try {
        Field* codeField = field(pratos(), "CDPRATO");
        QString code = codeField->AsString();
        if (EmptyString(code)) {
            if (required)
                falha("COD_EMPTY");
            return;
        }
        Tabvalid::ValidEx(m_c.dtsPratoAux, 1, code);
        if (code != codeField->AsString())
            codeField->setAsString(code);
        if (!m_c.cdsPratoAux->Active())
            carregaPratoAux();
        // Only the standard tree and the working branch's own dishes are listed here; a code of
        // another branch's tree is caught when the dish is posted.
        const QString codeFields = QStringLiteral("CDPRATO;CDFILAUXPRAT");
        if (m_c.cdsPratoAux->Locate(codeFields, {code, QStringLiteral("P")}) || m_c.cdsPratoAux->Locate(codeFields, {code, m_contexto.filialTrabalho()}))
            falha("PRATO_CAD");
        field(pratos(), "CDNVPRATO")->setAsString(QString::number(dishPicture().Nivel(code)));
        if (NivelBloq(code))
            falha("NIVBL_INC");
        Vd_NivelPrato(QStringLiteral("I"));
        // Blanks at the end are what is left of an unfilled mask; any other blank, a leading
        // one included, leaves a level unfilled.
        QString typed = code;
        while (typed.endsWith(u' '))
            typed.chop(1);
        if (typed.contains(u' '))
            falha("PRATO_ESP");
    } catch (...) {
        if (m_c.dbeCdPrato->isEnabled())
            m_c.dbeCdPrato->setFocus();
        throw;
    }
}

bool RegistroPrato::NivelBloq(const QString& code)
{
    Field* blocked = field(&m_contexto.parametrosGerais(), "CDNVBLPRAT");
    if (blocked->AsString().trimmed().isEmpty()) {
        m_contexto.parametrosGerais().Edit();
        field(&m_contexto.parametrosGerais(), "CDPARGERAL")->setAsString(QStringLiteral("0001"));
        blocked->setAsString(QStringLiteral("0"));
        m_contexto.parametrosGerais().Post();
    }
    return blocked->AsString().trimmed().toInt() >= dishPicture().Nivel(code);
}

void RegistroPrato::cdsParamGeralAfterPost()
{
    m_enviador->envia(m_contexto.parametrosGerais(), {QStringLiteral("UpdParamGeral"), QStringLiteral("upd_cdsParamGeral"), {}, {}});
}

void RegistroPrato::Vd_NivelPrato(const QString& operation)
{
    if (!hostContext().ModuFili)
        return;
    const QString code = text(pratos(), "CDPRATO");
    const TDBPicture picture = dishPicture();
    const char* key = nullptr;
    if (picture.Nivel(code) < picture.GetTtNiveis())
        key = byOperation(operation, "NIVINC_N_INC", "NIVINC_N_ALT", "NIVINC_N_EXC");
    else if (m_contexto.paginaVisivel() == &m_pagina && text(pratos(), "CDFILAUXPRAT") == u"P")
        key = byOperation(operation, nullptr, "PADR_N_ALT", "PADR_N_EXC");
    if (key)
        falha(key);
}

void RegistroPrato::Vd_Receita(const QString& operation)
{
    if (operation == u"I" && text(pratos(), "CDFILAUXPRAT") != u"P")
        falha("RECPAD_N_PRATLOCA");
    if (!hostContext().ModuFili)
        return;
    if (const char* key = byOperation(operation, "RECPAD_N_INC", "RECPAD_N_ALT", "RECPAD_N_EXC"))
        falha(key);
}

void RegistroPrato::carregaPratoAux()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    if (flag(&m_contexto.parametrosLocais(), "IDPESQCOMPPROD") == u"S") {
        QVariantList args{m_contexto.filialTrabalho()};
        recipe::loadPacket(m_c.cdsPratoAux, m_contexto.servidor().call(QStringLiteral("GetPratoAux"), args,
                                                               QStringLiteral("get_cdsPratoAux")));
        return;
    }
    ShowAviScope avi(&m_owner, m_contexto.mensagens().Msg(QStringLiteral("get_cdsPratoAux")));
    m_c.qryPratoAux->Close();
    m_c.qryPratoAux->setParam(QStringLiteral("P_CDFILAUXPRAT"), m_contexto.filialTrabalho());
    m_c.qryPratoAux->Open();
    m_c.cdsPratoAux->SetData(m_c.qryPratoAux->Data());
}

// --- Alteration --------------------------------------------------------------------------------

void RegistroPrato::cdsPratoBeforeEdit()
{
    // A record the server refused goes back to edit with the checks it has already passed.
    if (m_reabrindoPrato)
        return;
    if (m_contexto.consulta())
        throw Abort();
    Vd_NivelPrato(QStringLiteral("A"));
    // The supervisor is asked by Alterar at once, or, for an edit begun by a typed key, when the
    // change is kept: asked here, on the first key, the prompt would take the keys typed after it.
    m_autorizacaoPendente = !hostContext().ModuFili && text(pratos(), "CDFILAUXPRAT") == u"P";
    if (m_contexto.paginaVisivel() == &m_pagina && !m_c.cdsPratoAux->Active())
        carregaPratoAux();
}

void RegistroPrato::Vd_SgUnidPrato(bool required)
{
    const State state = pratos()->state();
    if ((state != State::Edit && state != State::Insert) || !nivelCompleto(text(pratos(), "CDPRATO")))
        return;
    const QString unit = text(pratos(), "SGUNIDADE").trimmed();
    if (unit.isEmpty()) {
        if (required)
            falha("UNID_EMPTY", m_c.dbeCdUnidade);
        return;
    }
    m_c.qryUnidade->Close();
    m_c.qryUnidade->setParam(QStringLiteral("P_SGUNIDADE"), unit);
    m_c.qryUnidade->setParam(QStringLiteral("P_TSGUNIDADE"), QString());
    m_c.qryUnidade->Open();
    if (m_c.qryUnidade->IsEmpty())
        falha("UNID_NC", m_c.dbeCdUnidade);
}

void RegistroPrato::Vd_VrArredTrans()
{
    const Field* rounding = field(pratos(), "VRARREDTRANS");
    if (!rounding->IsNull() && rounding->AsFloat() < 0)
        falha("VRARTRAN_INV", m_c.dbeArredTrans);
}

bool RegistroPrato::dbeTempoKeyPress(const QKeyEvent& event) const
{
    // Keys that type nothing (arrows, Home, ...) are not the rule's business.
    const QString typed = event.text();
    if (typed.isEmpty())
        return false;
    const QChar c = typed.at(0);
    if (QStringLiteral(",-.Ee").contains(c))
        return true;
    if (m_c.dbeTempo->text().size() < 7)
        return false;
    const char16_t code = c.unicode();
    const bool allowed = code == u'\b' || code == u'\t' || code == u'\r' || code == u'\n' || (code >= 37 && code <= 40);
    return !allowed;
}

// --- Post --------------------------------------------------------------------------------------

void RegistroPrato::autorizaAlteracao()
{
    if (std::exchange(m_autorizacaoPendente, false) && pratos()->state() == State::Edit
        && !server::Autoriza(m_contexto.autorizador(), kindPrato, QStringLiteral("ALTERACAO_PRATO_PADRAO"))) {
        pratos()->Cancel(); // refused: the record goes back to what it holds
        throw Abort();
    }
}

void RegistroPrato::cdsPratoBeforePost()
{
    autorizaAlteracao();
    Vd_CdPrato(true);
    if (EmptyString(text(pratos(), "NMPRATO")))
        falha("NMPRATO_EMPTY", m_c.dbeNmPrato);
    Vd_SgUnidPrato(true);
    Vd_VrArredTrans();

    if (inserting() && nivelCompleto(text(pratos(), "CDPRATO"))) {
        field(pratos(), "IDATIVO")->setAsString(m_c.dcbStatus->currentIndex() == 1 ? QStringLiteral("N") : QStringLiteral("S"));
        if (!hostContext().ModuFili)
            origemNaCentral();
    } else if (inserting()) {
        // A group belongs to the standard tree and has no unit.
        field(pratos(), "CDFILAUXPRAT")->setAsString(QStringLiteral("P"));
        field(pratos(), "CDFILIAL")->Clear();
        field(pratos(), "SGUNIDADE")->Clear();
    }

    if (m_c.cdsProdProd->Active() && !m_c.cdsProdProd->IsEmpty()) {
        field(pratos(), "CDPRODPRODUCAO")->setValue(field(m_c.cdsProdProd, "CDPRODUTO")->Value());
        field(pratos(), "CDARVPROD")->setValue(field(m_c.cdsProdProd, "CDARVPROD")->Value());
        field(pratos(), "NMPRODUTO")->setValue(field(m_c.cdsProdProd, "NMPRODUTO")->Value());
    }
    if (Vd_FormaPreparo)
        Vd_FormaPreparo();

    const Field* time = field(pratos(), "QTTEMPOPRAT");
    // No shelf life, no validity.
    if (time->IsNull())
        field(pratos(), "VRVALIDADE")->Clear();
    else {
        Field* unit = field(pratos(), "IDFREQUENCIA");
        if (unit->AsString().trimmed().isEmpty())
            unit->setAsString(QStringLiteral("H"));
        const QString u = unit->AsString();
        const double hours = u == u"D"   ? Cli_pla01300::constDoHorasDia
                             : u == u"M" ? Cli_pla01300::constDoHorasMeses
                             : u == u"A" ? Cli_pla01300::constDoHorasAnos
                                         : 1.0;
        field(pratos(), "VRVALIDADE")->setAsFloat(time->AsFloat() * hours);
    }
    Seta_Campo_Null(*pratos());
}

void RegistroPrato::origemNaCentral()
{
    const auto local = [this] {
        field(pratos(), "CDFILAUXPRAT")->setAsString(m_contexto.filialTrabalho());
        field(pratos(), "CDFILIAL")->setAsString(m_contexto.filialTrabalho());
    };
    const auto authorised = [this] {
        return server::Autoriza(m_contexto.autorizador(), kindPrato, QStringLiteral("INCLUSAO_PRATO_PADRAO"));
    };
    if (flag(&m_contexto.parametrosPlanejamento(), "IDBLOPRATLOC") == u"S") {
        Vd_ExistePrato();
        if (!authorised())
            throw Abort();
    } else if (text(pratos(), "CDFILAUXPRAT") != u"P") {
        local();
    } else if (authorised()) {
        Vd_ExistePrato();
    } else {
        // Without the supervisor's consent the dish stays in the branch's own tree.
        local();
    }
}

void RegistroPrato::Vd_ExistePrato()
{
    QVariantList args{text(pratos(), "CDPRATO")};
    const QVariantList answer = recipe::packetArray(
        m_contexto.servidor().call(QStringLiteral("GetExistPrat"), args, QStringLiteral("get_cdsExistPrat")));
    m_c.cdsExistPrat->SetData(toPacket(answer.value(0)));
    if (m_c.cdsExistPrat->IsEmpty())
        return;
    if (answer.value(1).toBool())
        falha("PRAT_JA_CAD", m_c.dbeCdPrato);
    if (m_contexto.mensagens().ShowMsg(QStringLiteral("PRAT_EXIS"), mtWarning, mbYes | mbNo) != mrYes) {
        if (m_c.dbeCdPrato->isEnabled())
            m_c.dbeCdPrato->setFocus();
        throw Abort();
    }
}

// --- Sending -----------------------------------------------------------------------------------

bool RegistroPrato::enviaPrato(bool deletion)
{
    // A refused change stays with the user: an edit goes back to edit with the values typed and
    // its change pending, to be corrected and confirmed again or cancelled; a new dish goes back
    // to its insertion, code editable, so that every check of a new dish runs again at the next
    // Confirmar; a deletion puts the dish back and leaves the other pending changes as they were.
    const DataPacket pending = pratos()->ChangeCount() > 0 ? pratos()->GetDelta() : DataPacket();
    const bool insertion = pending.rowCount() > 0 && pending.rowStatus(0) == RowStatus::Inserted;
    const auto giveBack = [this, deletion, insertion] {
        if (deletion) {
            pratos()->UndoLastChange(true);
            return;
        }
        m_reabrindoPrato = true;
        const auto done = qScopeGuard([this] { m_reabrindoPrato = false; });
        if (!insertion) {
            pratos()->Edit();
            return;
        }
        QVariantList values;
        for (const Field* f : pratos()->Fields())
            values << f->Value();
        pratos()->CancelUpdates();
        pratos()->Append();
        for (int i = 0; i < values.size(); ++i)
            pratos()->Fields()[i]->setValue(values[i]);
    };
    if (!m_enviador->envia(*pratos(), {QStringLiteral("UpdPrato"), QStringLiteral("upd_cdsPrato"), {}, giveBack}))
        return false;
    RefreshPesqPrato(true);
    if (AtualizaLocalCache)
        AtualizaLocalCache({QStringLiteral("PRATO")});
    return true;
}

void RegistroPrato::cdsPratoAfterPost()
{
    if (!enviaPrato(false))
        return;
    m_c.lblNomePrato->setText(text(pratos(), "NMPRATO"));
    m_contexto.sincronizaArvore();
}

// --- Deletion ----------------------------------------------------------------------------------

void RegistroPrato::cdsPratoBeforeDelete()
{
    if (!hostContext().ModuFili && text(pratos(), "CDFILAUXPRAT") == u"P"
        && !server::Autoriza(m_contexto.autorizador(), kindPrato, QStringLiteral("EXCLUSAO_PRATO_PADRAO")))
        throw Abort();
    if (m_c.dbeNmPrato->isEnabled())
        m_c.dbeNmPrato->setFocus();
}

void RegistroPrato::cdsPratoAfterDelete()
{
    if (!enviaPrato(true))
        return;
    // The recipes loaded for the dish's group may hold the dish's rows, and the photos are the
    // dish's own.
    if (AoExcluir)
        AoExcluir();
}

void RegistroPrato::cdsPratoAfterScroll()
{
    if (CarregaContainers && nivelCompleto(m_contexto.codigoArvore()))
        CarregaContainers();
}

// --- State of the record's controls ------------------------------------------------------------

void RegistroPrato::dtsPratoStateChange()
{
    if (m_contexto.paginaVisivel() != &m_pagina)
        return;
    const State state = pratos()->state();
    const bool insert = state == State::Insert;
    const bool editing = insert || state == State::Edit;
    const bool codeFocused = m_c.dbeCdPrato->hasFocus();
    m_c.dbeCdPrato->setEnabled(insert);
    m_c.lblCdPrato->setEnabled(insert);
    if (state == State::Edit && codeFocused)
        m_c.dbeNmPrato->setFocus();
    m_panFiliPrato.setEnabled(!hostContext().ModuFili && !editing && !m_contexto.consulta());
    if (!editing)
        m_contexto.Habilita_Pagina(nivelCompleto(m_contexto.codigoArvore()));
    m_c.dcbPrato->setReadOnly(!insert);
}

// --- Lookups -----------------------------------------------------------------------------------

void RegistroPrato::ligaPesquisa(TBtnPesquisa& button, Query& query, const QString& key, const QStringList& fields)
{
    button.BeforePesq = [&query, key](TBtnPesquisa&) {
        query.Close();
        query.setParam(QStringLiteral("P_") + key, QString());
        query.setParam(QStringLiteral("P_T") + key, QStringLiteral("T"));
        query.Open();
    };
    button.AfterPesq = [this, &query, fields](TBtnPesquisa&) {
        ClientDataSet& prato = *pratos();
        if (prato.state() == State::Browse)
            prato.Edit();
        for (const QString& name : fields)
            prato.FieldByName(name)->setValue(query.FieldByName(name)->Value());
    };
}

void RegistroPrato::RefreshPesqPrato(bool refresh)
{
    for (QWidget* form : QApplication::topLevelWidgets())
        if (form->inherits("TfrmCardMens") || form->inherits("TfrmCardHosp"))
            form->setProperty("RefreshPesqPrato", refresh);
}

} // namespace recipe
