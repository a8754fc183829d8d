// The dish record's rules: the new code, the checks of insertion, alteration, post and
// deletion, the supervisor's authorisations and the sending of each change at once.
#include "cli_pla01300.h"
#include "enviador.h"
#include "frmreceitapadrao.h"
#include "registroprato.h"
#include "respostaservidor.h"

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

RegistroPrato::RegistroPrato(TfrmReceitaPadrao& form)
    : QObject(&form), m_form(form), m_enviador(std::make_unique<Enviador>(*form.netReceitaPadrao))
{
    ClientDataSet& prato = *form.cdsPrato;
    prato.BeforeInsert = [this](ClientDataSet&) { cdsPratoBeforeInsert(); };
    prato.AfterInsert = [this](ClientDataSet&) { cdsPratoAfterInsert(); };
    prato.BeforeEdit = [this](ClientDataSet&) { cdsPratoBeforeEdit(); };
    prato.BeforePost = [this](ClientDataSet&) { cdsPratoBeforePost(); };
    prato.AfterPost = [this](ClientDataSet&) { cdsPratoAfterPost(); };
    prato.BeforeDelete = [this](ClientDataSet&) { cdsPratoBeforeDelete(); };
    prato.AfterDelete = [this](ClientDataSet&) { cdsPratoAfterDelete(); };
    prato.AfterScroll = [this](ClientDataSet&) { cdsPratoAfterScroll(); };
    form.cdsParamGeral->AfterPost = [this](ClientDataSet&) { cdsParamGeralAfterPost(); };
    guardedConnect(form.dtsPrato, &DataSource::stateChanged, this, [this] { dtsPratoStateChange(); });

    guardedConnect(form.dbeCdPrato, &TMaskEdit::exited, this, [this] { dbeCdPratoExit(); });
    guardedConnect(form.dbeCdUnidade, &TMaskEdit::exited, this, [this] { Vd_SgUnidPrato(false); });
    guardedConnect(form.dbeNmFormaPreparo, &TMaskEdit::exited, this, [this] { Vd_SgUnidPrato(false); });
    guardedConnect(form.dbeArredTrans, &TMaskEdit::exited, this, [this] { Vd_VrArredTrans(); });
    installGuardedEventFilter(form.dbeTempo, [this](QObject*, QEvent* event) {
        return event->type() == QEvent::KeyPress && dbeTempoKeyPress(static_cast<const QKeyEvent&>(*event));
    });
    ligaPesquisa(*form.btpUnidade, *form.qryUnidade, QStringLiteral("SGUNIDADE"), {QStringLiteral("SGUNIDADE")});
    ligaPesquisa(*form.btnSegMerc, *form.qrySegMer, QStringLiteral("CDSEGMER"),
                 {QStringLiteral("CDSEGMER"), QStringLiteral("DSSEGMER")});
}

RegistroPrato::~RegistroPrato() = default;

bool RegistroPrato::inserting() const { return m_form.cdsPrato->state() == State::Insert; }

bool RegistroPrato::treeMatchesRecord() const
{
    const QString record = m_form.cdsPrato->Active() && !m_form.cdsPrato->IsEmpty() ? text(m_form.cdsPrato, "CDPRATO") : QString();
    return m_form.treeCode() == record;
}

void RegistroPrato::mostraNivelCompleto(const QString& code)
{
    m_form.Habilita_NivelCompleto(code);
    const bool complete = m_form.isCompleteLevel(code);
    for (QWidget* w : {static_cast<QWidget*>(m_form.dcbPrato), static_cast<QWidget*>(m_form.dcbStatus), static_cast<QWidget*>(m_form.lblStatus)})
        w->setVisible(complete);
}

// --- New code ----------------------------------------------------------------------------------

QString RegistroPrato::propoeCodigo()
{
    const TDBPicture picture = dishPicture();
    const int levels = picture.GetTtNiveis();
    const bool empty = !m_form.cdsPrato->Active() || m_form.cdsPrato->IsEmpty();
    const QString current = empty ? QString() : text(m_form.cdsPrato, "CDPRATO");
    const int level = empty ? 0 : text(m_form.cdsPrato, "CDNVPRATO").toInt();
    // Below the group of dishes the new node is a child of the current one; from there on it is
    // a dish of the current node's group.
    const bool lastLevel = level >= levels - 1;
    const QString prefix = lastLevel ? current.left(picture.TamAcNivel(levels - 1)) : current;
    const int newLevel = lastLevel ? levels : level + 1;
    const int width = picture.TamNivel(newLevel);

    QVariantList args{QString::number(newLevel), prefix + u'%', m_form.WorkingBranch(), hostContext().ModuFili,
                      picture.TamNivel(lastLevel ? levels : level), lastLevel ? current : QString(), lastLevel};
    recipe::loadPacket(m_form.cdsProxCodPrato, m_form.netReceitaPadrao->call(QStringLiteral("GetProxCodPrato"), args,
                                                               QStringLiteral("get_cdsProxCodPrato")));
    const QString highest = m_form.cdsProxCodPrato->IsEmpty() ? QString() : text(m_form.cdsProxCodPrato, "CDPRATO").trimmed();

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
    if (Cli_pla01300::boConsulta)
        throw Abort();
    if (hostContext().ModuFili && flag(m_form.cdsParamPlaneja, "IDBLOPRATLOC") == u"S")
        m_form.falha("BloPratLoc");
    m_codigoProposto = propoeCodigo();
}

void RegistroPrato::cdsPratoAfterInsert()
{
    if (m_reabrindoPrato)
        return;
    field(m_form.cdsPrato, "CDPRATO")->setAsString(m_codigoProposto);
    field(m_form.cdsPrato, "CDFILAUXPRAT")->setAsString(QStringLiteral("P"));
    field(m_form.cdsPrato, "CDFILIAL")->Clear();
    field(m_form.cdsPrato, "IDATIVO")->setAsString(QStringLiteral("S"));
    if (!m_form.isCompleteLevel(m_codigoProposto))
        return;
    if (hostContext().ModuFili) {
        field(m_form.cdsPrato, "CDFILAUXPRAT")->setAsString(m_form.WorkingBranch());
        field(m_form.cdsPrato, "CDFILIAL")->setAsString(m_form.WorkingBranch());
        m_form.dcbPrato->setReadOnly(true);
    } else {
        m_form.dcbPrato->setReadOnly(flag(m_form.cdsParamPlaneja, "IDBLOPRATLOC") == u"S");
    }
}

void RegistroPrato::dbeCdPratoExit()
{
    if (!inserting())
        return;
    Vd_CdPrato(false);
    const QString code = text(m_form.cdsPrato, "CDPRATO");
    mostraNivelCompleto(code);
    if (!m_form.btpUnidade->isEnabled())
        field(m_form.cdsPrato, "SGUNIDADE")->Clear();
    if (m_form.isCompleteLevel(code))
        m_form.dcbStatus->setCurrentIndex(0);
    if (hostContext().ModuFili) {
        field(m_form.cdsPrato, "CDFILAUXPRAT")->setAsString(m_form.WorkingBranch());
        field(m_form.cdsPrato, "CDFILIAL")->setAsString(m_form.WorkingBranch());
        m_form.dcbPrato->setReadOnly(true);
        m_form.dcbPrato->show();
    }
}

void RegistroPrato::Vd_CdPrato(bool required)
{
    if (!inserting())
        return;
    try {
        Field* codeField = field(m_form.cdsPrato, "CDPRATO");
        QString code = codeField->AsString();
        if (EmptyString(code)) {
            if (required)
                m_form.falha("COD_EMPTY");
            return;
        }
        Tabvalid::ValidEx(m_form.dtsPratoAux, 1, code);
        if (code != codeField->AsString())
            codeField->setAsString(code);
        if (!m_form.cdsPratoAux->Active())
            carregaPratoAux();
        // Only the standard tree and the working branch's own dishes are listed here; a code of
        // another branch's tree is caught when the dish is posted.
        const QString codeFields = QStringLiteral("CDPRATO;CDFILAUXPRAT");
        if (m_form.cdsPratoAux->Locate(codeFields, {code, QStringLiteral("P")}) || m_form.cdsPratoAux->Locate(codeFields, {code, m_form.WorkingBranch()}))
            m_form.falha("PRATO_CAD");
        field(m_form.cdsPrato, "CDNVPRATO")->setAsString(QString::number(dishPicture().Nivel(code)));
        if (NivelBloq(code))
            m_form.falha("NIVBL_INC");
        Vd_NivelPrato(QStringLiteral("I"));
        // Blanks at the end are what is left of an unfilled mask; any other blank, a leading
        // one included, leaves a level unfilled.
        QString typed = code;
        while (typed.endsWith(u' '))
            typed.chop(1);
        if (typed.contains(u' '))
            m_form.falha("PRATO_ESP");
    } catch (...) {
        if (m_form.dbeCdPrato->isEnabled())
            m_form.dbeCdPrato->setFocus();
        throw;
    }
}

bool RegistroPrato::NivelBloq(const QString& code)
{
    Field* blocked = field(m_form.cdsParamGeral, "CDNVBLPRAT");
    if (blocked->AsString().trimmed().isEmpty()) {
        m_form.cdsParamGeral->Edit();
        field(m_form.cdsParamGeral, "CDPARGERAL")->setAsString(QStringLiteral("0001"));
        blocked->setAsString(QStringLiteral("0"));
        m_form.cdsParamGeral->Post();
    }
    return blocked->AsString().trimmed().toInt() >= dishPicture().Nivel(code);
}

void RegistroPrato::cdsParamGeralAfterPost()
{
    m_enviador->envia(*m_form.cdsParamGeral, {QStringLiteral("UpdParamGeral"), QStringLiteral("upd_cdsParamGeral"), {}, {}});
}

void RegistroPrato::Vd_NivelPrato(const QString& operation)
{
    if (!hostContext().ModuFili)
        return;
    const QString code = text(m_form.cdsPrato, "CDPRATO");
    const TDBPicture picture = dishPicture();
    const char* key = nullptr;
    if (picture.Nivel(code) < picture.GetTtNiveis())
        key = byOperation(operation, "NIVINC_N_INC", "NIVINC_N_ALT", "NIVINC_N_EXC");
    else if (m_form.pgcPadrao->currentWidget() == m_form.tshFormulario && text(m_form.cdsPrato, "CDFILAUXPRAT") == u"P")
        key = byOperation(operation, nullptr, "PADR_N_ALT", "PADR_N_EXC");
    if (key)
        m_form.falha(key);
}

void RegistroPrato::Vd_Receita(const QString& operation)
{
    if (operation == u"I" && text(m_form.cdsPrato, "CDFILAUXPRAT") != u"P")
        m_form.falha("RECPAD_N_PRATLOCA");
    if (!hostContext().ModuFili)
        return;
    if (const char* key = byOperation(operation, "RECPAD_N_INC", "RECPAD_N_ALT", "RECPAD_N_EXC"))
        m_form.falha(key);
}

void RegistroPrato::carregaPratoAux()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    if (flag(m_form.qryParamGeral, "IDPESQCOMPPROD") == u"S") {
        QVariantList args{m_form.WorkingBranch()};
        recipe::loadPacket(m_form.cdsPratoAux, m_form.netReceitaPadrao->call(QStringLiteral("GetPratoAux"), args,
                                                               QStringLiteral("get_cdsPratoAux")));
        return;
    }
    ShowAviScope avi(&m_form, m_form.msgPadrao->Msg(QStringLiteral("get_cdsPratoAux")));
    m_form.qryPratoAux->Close();
    m_form.qryPratoAux->setParam(QStringLiteral("P_CDFILAUXPRAT"), m_form.WorkingBranch());
    m_form.qryPratoAux->Open();
    m_form.cdsPratoAux->SetData(m_form.qryPratoAux->Data());
}

// --- Alteration --------------------------------------------------------------------------------

void RegistroPrato::cdsPratoBeforeEdit()
{
    // A record the server refused goes back to edit with the checks it has already passed.
    if (m_reabrindoPrato)
        return;
    if (Cli_pla01300::boConsulta)
        throw Abort();
    Vd_NivelPrato(QStringLiteral("A"));
    // The supervisor is asked by Alterar at once, or, for an edit begun by a typed key, when the
    // change is kept: asked here, on the first key, the prompt would take the keys typed after it.
    m_autorizacaoPendente = !hostContext().ModuFili && text(m_form.cdsPrato, "CDFILAUXPRAT") == u"P";
    if (m_form.pgcPadrao->currentWidget() == m_form.tshFormulario && !m_form.cdsPratoAux->Active())
        carregaPratoAux();
}

void RegistroPrato::Vd_SgUnidPrato(bool required)
{
    const State state = m_form.cdsPrato->state();
    if ((state != State::Edit && state != State::Insert) || !m_form.isCompleteLevel(text(m_form.cdsPrato, "CDPRATO")))
        return;
    const QString unit = text(m_form.cdsPrato, "SGUNIDADE").trimmed();
    if (unit.isEmpty()) {
        if (required)
            m_form.falha("UNID_EMPTY", m_form.dbeCdUnidade);
        return;
    }
    m_form.qryUnidade->Close();
    m_form.qryUnidade->setParam(QStringLiteral("P_SGUNIDADE"), unit);
    m_form.qryUnidade->setParam(QStringLiteral("P_TSGUNIDADE"), QString());
    m_form.qryUnidade->Open();
    if (m_form.qryUnidade->IsEmpty())
        m_form.falha("UNID_NC", m_form.dbeCdUnidade);
}

void RegistroPrato::Vd_VrArredTrans()
{
    const Field* rounding = field(m_form.cdsPrato, "VRARREDTRANS");
    if (!rounding->IsNull() && rounding->AsFloat() < 0)
        m_form.falha("VRARTRAN_INV", m_form.dbeArredTrans);
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
    if (m_form.dbeTempo->text().size() < 7)
        return false;
    const char16_t code = c.unicode();
    const bool allowed = code == u'\b' || code == u'\t' || code == u'\r' || code == u'\n' || (code >= 37 && code <= 40);
    return !allowed;
}

// --- Post --------------------------------------------------------------------------------------

void RegistroPrato::autorizaAlteracao()
{
    if (std::exchange(m_autorizacaoPendente, false) && m_form.cdsPrato->state() == State::Edit
        && !server::Autoriza(*m_form.netAutoriza, kindPrato, QStringLiteral("ALTERACAO_PRATO_PADRAO"))) {
        m_form.cdsPrato->Cancel(); // refused: the record goes back to what it holds
        throw Abort();
    }
}

void RegistroPrato::cdsPratoBeforePost()
{
    autorizaAlteracao();
    Vd_CdPrato(true);
    if (EmptyString(text(m_form.cdsPrato, "NMPRATO")))
        m_form.falha("NMPRATO_EMPTY", m_form.dbeNmPrato);
    Vd_SgUnidPrato(true);
    Vd_VrArredTrans();

    if (inserting() && m_form.isCompleteLevel(text(m_form.cdsPrato, "CDPRATO"))) {
        field(m_form.cdsPrato, "IDATIVO")->setAsString(m_form.dcbStatus->currentIndex() == 1 ? QStringLiteral("N") : QStringLiteral("S"));
        if (!hostContext().ModuFili)
            origemNaCentral();
    } else if (inserting()) {
        // A group belongs to the standard tree and has no unit.
        field(m_form.cdsPrato, "CDFILAUXPRAT")->setAsString(QStringLiteral("P"));
        field(m_form.cdsPrato, "CDFILIAL")->Clear();
        field(m_form.cdsPrato, "SGUNIDADE")->Clear();
    }

    if (m_form.cdsProdProd->Active() && !m_form.cdsProdProd->IsEmpty()) {
        field(m_form.cdsPrato, "CDPRODPRODUCAO")->setValue(field(m_form.cdsProdProd, "CDPRODUTO")->Value());
        field(m_form.cdsPrato, "CDARVPROD")->setValue(field(m_form.cdsProdProd, "CDARVPROD")->Value());
        field(m_form.cdsPrato, "NMPRODUTO")->setValue(field(m_form.cdsProdProd, "NMPRODUTO")->Value());
    }
    if (m_form.Vd_FormaPreparo)
        m_form.Vd_FormaPreparo();

    const Field* time = field(m_form.cdsPrato, "QTTEMPOPRAT");
    // No shelf life, no validity.
    if (time->IsNull())
        field(m_form.cdsPrato, "VRVALIDADE")->Clear();
    else {
        Field* unit = field(m_form.cdsPrato, "IDFREQUENCIA");
        if (unit->AsString().trimmed().isEmpty())
            unit->setAsString(QStringLiteral("H"));
        const QString u = unit->AsString();
        const double hours = u == u"D"   ? Cli_pla01300::constDoHorasDia
                             : u == u"M" ? Cli_pla01300::constDoHorasMeses
                             : u == u"A" ? Cli_pla01300::constDoHorasAnos
                                         : 1.0;
        field(m_form.cdsPrato, "VRVALIDADE")->setAsFloat(time->AsFloat() * hours);
    }
    Seta_Campo_Null(*m_form.cdsPrato);
}

void RegistroPrato::origemNaCentral()
{
    const auto local = [this] {
        field(m_form.cdsPrato, "CDFILAUXPRAT")->setAsString(m_form.WorkingBranch());
        field(m_form.cdsPrato, "CDFILIAL")->setAsString(m_form.WorkingBranch());
    };
    const auto authorised = [this] {
        return server::Autoriza(*m_form.netAutoriza, kindPrato, QStringLiteral("INCLUSAO_PRATO_PADRAO"));
    };
    if (flag(m_form.cdsParamPlaneja, "IDBLOPRATLOC") == u"S") {
        Vd_ExistePrato();
        if (!authorised())
            throw Abort();
    } else if (text(m_form.cdsPrato, "CDFILAUXPRAT") != u"P") {
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
    QVariantList args{text(m_form.cdsPrato, "CDPRATO")};
    const QVariantList answer = recipe::packetArray(
        m_form.netReceitaPadrao->call(QStringLiteral("GetExistPrat"), args, QStringLiteral("get_cdsExistPrat")));
    m_form.cdsExistPrat->SetData(toPacket(answer.value(0)));
    if (m_form.cdsExistPrat->IsEmpty())
        return;
    if (answer.value(1).toBool())
        m_form.falha("PRAT_JA_CAD", m_form.dbeCdPrato);
    if (m_form.msgPadrao->ShowMsg(QStringLiteral("PRAT_EXIS"), mtWarning, mbYes | mbNo) != mrYes) {
        if (m_form.dbeCdPrato->isEnabled())
            m_form.dbeCdPrato->setFocus();
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
    const DataPacket pending = m_form.cdsPrato->ChangeCount() > 0 ? m_form.cdsPrato->GetDelta() : DataPacket();
    const bool insertion = pending.rowCount() > 0 && pending.rowStatus(0) == RowStatus::Inserted;
    const auto giveBack = [this, deletion, insertion] {
        if (deletion) {
            m_form.cdsPrato->UndoLastChange(true);
            return;
        }
        m_reabrindoPrato = true;
        const auto done = qScopeGuard([this] { m_reabrindoPrato = false; });
        if (!insertion) {
            m_form.cdsPrato->Edit();
            return;
        }
        QVariantList values;
        for (const Field* f : m_form.cdsPrato->Fields())
            values << f->Value();
        m_form.cdsPrato->CancelUpdates();
        m_form.cdsPrato->Append();
        for (int i = 0; i < values.size(); ++i)
            m_form.cdsPrato->Fields()[i]->setValue(values[i]);
    };
    if (!m_enviador->envia(*m_form.cdsPrato, {QStringLiteral("UpdPrato"), QStringLiteral("upd_cdsPrato"), {}, giveBack}))
        return false;
    RefreshPesqPrato(true);
    if (m_form.AtualizaLocalCache)
        m_form.AtualizaLocalCache({QStringLiteral("PRATO")});
    return true;
}

void RegistroPrato::cdsPratoAfterPost()
{
    if (!enviaPrato(false))
        return;
    m_form.lblNomePrato->setText(text(m_form.cdsPrato, "NMPRATO"));
    m_form.dbaPadrao->Resync();
}

// --- Deletion ----------------------------------------------------------------------------------

void RegistroPrato::cdsPratoBeforeDelete()
{
    if (!hostContext().ModuFili && text(m_form.cdsPrato, "CDFILAUXPRAT") == u"P"
        && !server::Autoriza(*m_form.netAutoriza, kindPrato, QStringLiteral("EXCLUSAO_PRATO_PADRAO")))
        throw Abort();
    if (m_form.dbeNmPrato->isEnabled())
        m_form.dbeNmPrato->setFocus();
}

void RegistroPrato::cdsPratoAfterDelete()
{
    if (!enviaPrato(true))
        return;
    // The recipes loaded for the dish's group may hold the dish's rows, and the photos are the
    // dish's own.
    for (ClientDataSet* list : {m_form.cdsProdPrat, m_form.cdsReceTpCard, m_form.cdsReceFili, m_form.cdsReceServ})
        list->Close();
    for (const char* photos : {"cdsFotoPraPad", "cdsFotoPraFil", "cdsFotoPraSer"})
        if (auto* ds = m_form.findChild<ClientDataSet*>(QLatin1String(photos)))
            ds->Close();
}

void RegistroPrato::cdsPratoAfterScroll()
{
    if (m_form.CarregaContainers && m_form.isCompleteLevel(m_form.treeCode()))
        m_form.CarregaContainers();
}

// --- State of the record's controls ------------------------------------------------------------

void RegistroPrato::dtsPratoStateChange()
{
    if (m_form.pgcPadrao->currentWidget() != m_form.tshFormulario)
        return;
    const State state = m_form.cdsPrato->state();
    const bool insert = state == State::Insert;
    const bool editing = insert || state == State::Edit;
    const bool codeFocused = m_form.dbeCdPrato->hasFocus();
    m_form.dbeCdPrato->setEnabled(insert);
    m_form.lblCdPrato->setEnabled(insert);
    if (state == State::Edit && codeFocused)
        m_form.dbeNmPrato->setFocus();
    m_form.panFiliPrato->setEnabled(!hostContext().ModuFili && !editing && !Cli_pla01300::boConsulta);
    if (!editing)
        m_form.Habilita_Pagina(m_form.isCompleteLevel(m_form.treeCode()));
    m_form.dcbPrato->setReadOnly(!insert);
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
        ClientDataSet& prato = *m_form.cdsPrato;
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
