// The dish record's rules: the new code, the checks of insertion, alteration, post and
// deletion, the supervisor's authorisations and the sending of each change at once.
#include "cli_pla01300.h"
#include "enviador.h"
#include "frmreceitapadrao.h"
#include "respostaservidor.h"

#include "framework/abort.h"
#include "framework/core/consiste.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/forms/dbtree.h"
#include "framework/ui/btnpesquisa.h"
#include "framework/ui/dbcombobox.h"
#include "framework/ui/dbedit.h"
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
#include <QTabWidget>

using namespace framework;
using recipe::flag;

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

void TfrmReceitaPadrao::falha(const char* key, QWidget* control) const
{
    if (control && control->isEnabled())
        control->setFocus();
    msgPadrao->ShowMsg(QString::fromLatin1(key), mtError, mbOK);
    throw Abort();
}

bool TfrmReceitaPadrao::inserting() const { return cdsPrato->state() == State::Insert; }

bool TfrmReceitaPadrao::treeMatchesRecord() const
{
    const QString record = cdsPrato->Active() && !cdsPrato->IsEmpty() ? text(cdsPrato, "CDPRATO") : QString();
    return treeCode() == record;
}

void TfrmReceitaPadrao::mostraNivelCompleto(const QString& code)
{
    Habilita_NivelCompleto(code);
    const bool complete = isCompleteLevel(code);
    for (QWidget* w : {static_cast<QWidget*>(dcbPrato), static_cast<QWidget*>(dcbStatus), static_cast<QWidget*>(lblStatus)})
        w->setVisible(complete);
}

// --- New code ----------------------------------------------------------------------------------

QString TfrmReceitaPadrao::propoeCodigo()
{
    const TDBPicture picture = dishPicture();
    const int levels = picture.GetTtNiveis();
    const bool empty = !cdsPrato->Active() || cdsPrato->IsEmpty();
    const QString current = empty ? QString() : text(cdsPrato, "CDPRATO");
    const int level = empty ? 0 : text(cdsPrato, "CDNVPRATO").toInt();
    // Below the group of dishes the new node is a child of the current one; from there on it is
    // a dish of the current node's group.
    const bool lastLevel = level >= levels - 1;
    const QString prefix = lastLevel ? current.left(picture.TamAcNivel(levels - 1)) : current;
    const int newLevel = lastLevel ? levels : level + 1;
    const int width = picture.TamNivel(newLevel);

    QVariantList args{QString::number(newLevel), prefix + u'%', m_filial, hostContext().ModuFili,
                      picture.TamNivel(lastLevel ? levels : level), lastLevel ? current : QString(), lastLevel};
    recipe::loadPacket(cdsProxCodPrato, netReceitaPadrao->call(QStringLiteral("GetProxCodPrato"), args,
                                                               QStringLiteral("get_cdsProxCodPrato")));
    const QString highest = cdsProxCodPrato->IsEmpty() ? QString() : text(cdsProxCodPrato, "CDPRATO").trimmed();

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

void TfrmReceitaPadrao::cdsPratoBeforeInsert()
{
    if (m_reabrindoPrato)
        return;
    if (Cli_pla01300::boConsulta)
        throw Abort();
    if (hostContext().ModuFili && flag(cdsParamPlaneja, "IDBLOPRATLOC") == u"S")
        falha("BloPratLoc");
    m_codigoProposto = propoeCodigo();
}

void TfrmReceitaPadrao::cdsPratoAfterInsert()
{
    if (m_reabrindoPrato)
        return;
    field(cdsPrato, "CDPRATO")->setAsString(m_codigoProposto);
    field(cdsPrato, "CDFILAUXPRAT")->setAsString(QStringLiteral("P"));
    field(cdsPrato, "CDFILIAL")->Clear();
    field(cdsPrato, "IDATIVO")->setAsString(QStringLiteral("S"));
    if (!isCompleteLevel(m_codigoProposto))
        return;
    if (hostContext().ModuFili) {
        field(cdsPrato, "CDFILAUXPRAT")->setAsString(m_filial);
        field(cdsPrato, "CDFILIAL")->setAsString(m_filial);
        dcbPrato->setReadOnly(true);
    } else {
        dcbPrato->setReadOnly(flag(cdsParamPlaneja, "IDBLOPRATLOC") == u"S");
    }
}

void TfrmReceitaPadrao::dbeCdPratoExit()
{
    if (!inserting())
        return;
    Vd_CdPrato(false);
    const QString code = text(cdsPrato, "CDPRATO");
    mostraNivelCompleto(code);
    if (!btpUnidade->isEnabled())
        field(cdsPrato, "SGUNIDADE")->Clear();
    if (isCompleteLevel(code))
        dcbStatus->setCurrentIndex(0);
    if (hostContext().ModuFili) {
        field(cdsPrato, "CDFILAUXPRAT")->setAsString(m_filial);
        field(cdsPrato, "CDFILIAL")->setAsString(m_filial);
        dcbPrato->setReadOnly(true);
        dcbPrato->show();
    }
}

void TfrmReceitaPadrao::Vd_CdPrato(bool required)
{
    if (!inserting())
        return;
    try {
        Field* codeField = field(cdsPrato, "CDPRATO");
        QString code = codeField->AsString();
        if (EmptyString(code)) {
            if (required)
                falha("COD_EMPTY");
            return;
        }
        Tabvalid::ValidEx(dtsPratoAux, 1, code);
        if (code != codeField->AsString())
            codeField->setAsString(code);
        if (!cdsPratoAux->Active())
            carregaPratoAux();
        // Only the standard tree and the working branch's own dishes are listed here; a code of
        // another branch's tree is caught when the dish is posted.
        const QString codeFields = QStringLiteral("CDPRATO;CDFILAUXPRAT");
        if (cdsPratoAux->Locate(codeFields, {code, QStringLiteral("P")}) || cdsPratoAux->Locate(codeFields, {code, m_filial}))
            falha("PRATO_CAD");
        field(cdsPrato, "CDNVPRATO")->setAsString(QString::number(dishPicture().Nivel(code)));
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
        if (dbeCdPrato->isEnabled())
            dbeCdPrato->setFocus();
        throw;
    }
}

bool TfrmReceitaPadrao::NivelBloq(const QString& code)
{
    Field* blocked = field(cdsParamGeral, "CDNVBLPRAT");
    if (blocked->AsString().trimmed().isEmpty()) {
        cdsParamGeral->Edit();
        field(cdsParamGeral, "CDPARGERAL")->setAsString(QStringLiteral("0001"));
        blocked->setAsString(QStringLiteral("0"));
        cdsParamGeral->Post();
    }
    return blocked->AsString().trimmed().toInt() >= dishPicture().Nivel(code);
}

void TfrmReceitaPadrao::cdsParamGeralAfterPost()
{
    m_enviador->envia(*cdsParamGeral, {QStringLiteral("UpdParamGeral"), QStringLiteral("upd_cdsParamGeral"), {}, {}});
}

void TfrmReceitaPadrao::Vd_NivelPrato(const QString& operation)
{
    if (!hostContext().ModuFili)
        return;
    const QString code = text(cdsPrato, "CDPRATO");
    const TDBPicture picture = dishPicture();
    const char* key = nullptr;
    if (picture.Nivel(code) < picture.GetTtNiveis())
        key = byOperation(operation, "NIVINC_N_INC", "NIVINC_N_ALT", "NIVINC_N_EXC");
    else if (pgcPadrao->currentWidget() == tshFormulario && text(cdsPrato, "CDFILAUXPRAT") == u"P")
        key = byOperation(operation, nullptr, "PADR_N_ALT", "PADR_N_EXC");
    if (key)
        falha(key);
}

void TfrmReceitaPadrao::Vd_Receita(const QString& operation)
{
    if (operation == u"I" && text(cdsPrato, "CDFILAUXPRAT") != u"P")
        falha("RECPAD_N_PRATLOCA");
    if (!hostContext().ModuFili)
        return;
    if (const char* key = byOperation(operation, "RECPAD_N_INC", "RECPAD_N_ALT", "RECPAD_N_EXC"))
        falha(key);
}

void TfrmReceitaPadrao::carregaPratoAux()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    if (flag(qryParamGeral, "IDPESQCOMPPROD") == u"S") {
        QVariantList args{m_filial};
        recipe::loadPacket(cdsPratoAux, netReceitaPadrao->call(QStringLiteral("GetPratoAux"), args,
                                                               QStringLiteral("get_cdsPratoAux")));
        return;
    }
    ShowAviScope avi(this, msgPadrao->Msg(QStringLiteral("get_cdsPratoAux")));
    qryPratoAux->Close();
    qryPratoAux->setParam(QStringLiteral("P_CDFILAUXPRAT"), m_filial);
    qryPratoAux->Open();
    cdsPratoAux->SetData(qryPratoAux->Data());
}

// --- Alteration --------------------------------------------------------------------------------

void TfrmReceitaPadrao::cdsPratoBeforeEdit()
{
    // A record the server refused goes back to edit with the checks it has already passed.
    if (m_reabrindoPrato)
        return;
    if (Cli_pla01300::boConsulta)
        throw Abort();
    Vd_NivelPrato(QStringLiteral("A"));
    if (!hostContext().ModuFili && text(cdsPrato, "CDFILAUXPRAT") == u"P"
        && !server::Autoriza(*netAutoriza, kindPrato, QStringLiteral("ALTERACAO_PRATO_PADRAO")))
        throw Abort();
    if (pgcPadrao->currentWidget() == tshFormulario && !cdsPratoAux->Active())
        carregaPratoAux();
}

void TfrmReceitaPadrao::Vd_SgUnidPrato(bool required)
{
    const State state = cdsPrato->state();
    if ((state != State::Edit && state != State::Insert) || !isCompleteLevel(text(cdsPrato, "CDPRATO")))
        return;
    const QString unit = text(cdsPrato, "SGUNIDADE").trimmed();
    if (unit.isEmpty()) {
        if (required)
            falha("UNID_EMPTY", dbeCdUnidade);
        return;
    }
    qryUnidade->Close();
    qryUnidade->setParam(QStringLiteral("P_SGUNIDADE"), unit);
    qryUnidade->setParam(QStringLiteral("P_TSGUNIDADE"), QString());
    qryUnidade->Open();
    if (qryUnidade->IsEmpty())
        falha("UNID_NC", dbeCdUnidade);
}

void TfrmReceitaPadrao::Vd_VrArredTrans()
{
    const Field* rounding = field(cdsPrato, "VRARREDTRANS");
    if (!rounding->IsNull() && rounding->AsFloat() < 0)
        falha("VRARTRAN_INV", dbeArredTrans);
}

void TfrmReceitaPadrao::dbeCdUnidadeExit() { Vd_SgUnidPrato(false); }

void TfrmReceitaPadrao::dbeArredTransExit() { Vd_VrArredTrans(); }

bool TfrmReceitaPadrao::dbeTempoKeyPress(const QKeyEvent& event) const
{
    // Keys that type nothing (arrows, Home, ...) are not the rule's business.
    const QString typed = event.text();
    if (typed.isEmpty())
        return false;
    const QChar c = typed.at(0);
    if (QStringLiteral(",-.Ee").contains(c))
        return true;
    if (dbeTempo->text().size() < 7)
        return false;
    const char16_t code = c.unicode();
    const bool allowed = code == u'\b' || code == u'\t' || code == u'\r' || code == u'\n' || (code >= 37 && code <= 40);
    return !allowed;
}

// --- Post --------------------------------------------------------------------------------------

void TfrmReceitaPadrao::cdsPratoBeforePost()
{
    Vd_CdPrato(true);
    if (EmptyString(text(cdsPrato, "NMPRATO")))
        falha("NMPRATO_EMPTY", dbeNmPrato);
    Vd_SgUnidPrato(true);
    Vd_VrArredTrans();

    if (inserting() && isCompleteLevel(text(cdsPrato, "CDPRATO"))) {
        field(cdsPrato, "IDATIVO")->setAsString(dcbStatus->currentIndex() == 1 ? QStringLiteral("N") : QStringLiteral("S"));
        if (!hostContext().ModuFili)
            origemNaCentral();
    } else if (inserting()) {
        // A group belongs to the standard tree and has no unit.
        field(cdsPrato, "CDFILAUXPRAT")->setAsString(QStringLiteral("P"));
        field(cdsPrato, "CDFILIAL")->Clear();
        field(cdsPrato, "SGUNIDADE")->Clear();
    }

    if (cdsProdProd->Active() && !cdsProdProd->IsEmpty()) {
        field(cdsPrato, "CDPRODPRODUCAO")->setValue(field(cdsProdProd, "CDPRODUTO")->Value());
        field(cdsPrato, "CDARVPROD")->setValue(field(cdsProdProd, "CDARVPROD")->Value());
        field(cdsPrato, "NMPRODUTO")->setValue(field(cdsProdProd, "NMPRODUTO")->Value());
    }
    if (Vd_FormaPreparo)
        Vd_FormaPreparo();

    const Field* time = field(cdsPrato, "QTTEMPOPRAT");
    // No shelf life, no validity.
    if (time->IsNull())
        field(cdsPrato, "VRVALIDADE")->Clear();
    else {
        Field* unit = field(cdsPrato, "IDFREQUENCIA");
        if (unit->AsString().trimmed().isEmpty())
            unit->setAsString(QStringLiteral("H"));
        const QString u = unit->AsString();
        const double hours = u == u"D"   ? Cli_pla01300::constDoHorasDia
                             : u == u"M" ? Cli_pla01300::constDoHorasMeses
                             : u == u"A" ? Cli_pla01300::constDoHorasAnos
                                         : 1.0;
        field(cdsPrato, "VRVALIDADE")->setAsFloat(time->AsFloat() * hours);
    }
    Seta_Campo_Null(*cdsPrato);
}

void TfrmReceitaPadrao::origemNaCentral()
{
    const auto local = [this] {
        field(cdsPrato, "CDFILAUXPRAT")->setAsString(m_filial);
        field(cdsPrato, "CDFILIAL")->setAsString(m_filial);
    };
    const auto authorised = [this] {
        return server::Autoriza(*netAutoriza, kindPrato, QStringLiteral("INCLUSAO_PRATO_PADRAO"));
    };
    if (flag(cdsParamPlaneja, "IDBLOPRATLOC") == u"S") {
        Vd_ExistePrato();
        if (!authorised())
            throw Abort();
    } else if (text(cdsPrato, "CDFILAUXPRAT") != u"P") {
        local();
    } else if (authorised()) {
        Vd_ExistePrato();
    } else {
        // Without the supervisor's consent the dish stays in the branch's own tree.
        local();
    }
}

void TfrmReceitaPadrao::Vd_ExistePrato()
{
    QVariantList args{text(cdsPrato, "CDPRATO")};
    const QVariantList answer = recipe::packetArray(
        netReceitaPadrao->call(QStringLiteral("GetExistPrat"), args, QStringLiteral("get_cdsExistPrat")));
    cdsExistPrat->SetData(toPacket(answer.value(0)));
    if (cdsExistPrat->IsEmpty())
        return;
    if (answer.value(1).toBool())
        falha("PRAT_JA_CAD", dbeCdPrato);
    if (msgPadrao->ShowMsg(QStringLiteral("PRAT_EXIS"), mtWarning, mbYes | mbNo) != mrYes) {
        if (dbeCdPrato->isEnabled())
            dbeCdPrato->setFocus();
        throw Abort();
    }
}

// --- Sending -----------------------------------------------------------------------------------

bool TfrmReceitaPadrao::enviaPrato(bool deletion)
{
    // A refused change stays with the user: an edit goes back to edit with the values typed and
    // its change pending, to be corrected and confirmed again or cancelled; a new dish goes back
    // to its insertion, code editable, so that every check of a new dish runs again at the next
    // Confirmar; a deletion puts the dish back and leaves the other pending changes as they were.
    const DataPacket pending = cdsPrato->ChangeCount() > 0 ? cdsPrato->GetDelta() : DataPacket();
    const bool insertion = pending.rowCount() > 0 && pending.rowStatus(0) == RowStatus::Inserted;
    const auto giveBack = [this, deletion, insertion] {
        if (deletion) {
            cdsPrato->UndoLastChange(true);
            return;
        }
        m_reabrindoPrato = true;
        const auto done = qScopeGuard([this] { m_reabrindoPrato = false; });
        if (!insertion) {
            cdsPrato->Edit();
            return;
        }
        QVariantList values;
        for (const Field* f : cdsPrato->Fields())
            values << f->Value();
        cdsPrato->CancelUpdates();
        cdsPrato->Append();
        for (int i = 0; i < values.size(); ++i)
            cdsPrato->Fields()[i]->setValue(values[i]);
    };
    if (!m_enviador->envia(*cdsPrato, {QStringLiteral("UpdPrato"), QStringLiteral("upd_cdsPrato"), {}, giveBack}))
        return false;
    RefreshPesqPrato(true);
    if (AtualizaLocalCache)
        AtualizaLocalCache({QStringLiteral("PRATO")});
    return true;
}

void TfrmReceitaPadrao::cdsPratoAfterPost()
{
    if (!enviaPrato(false))
        return;
    lblNomePrato->setText(text(cdsPrato, "NMPRATO"));
    dbaPadrao->Resync();
}

// --- Deletion ----------------------------------------------------------------------------------

void TfrmReceitaPadrao::cdsPratoBeforeDelete()
{
    if (!hostContext().ModuFili && text(cdsPrato, "CDFILAUXPRAT") == u"P"
        && !server::Autoriza(*netAutoriza, kindPrato, QStringLiteral("EXCLUSAO_PRATO_PADRAO")))
        throw Abort();
    if (dbeNmPrato->isEnabled())
        dbeNmPrato->setFocus();
}

void TfrmReceitaPadrao::cdsPratoAfterDelete()
{
    if (!enviaPrato(true))
        return;
    // The recipes loaded for the dish's group may hold the dish's rows, and the photos are the
    // dish's own.
    for (ClientDataSet* list : {cdsProdPrat, cdsReceTpCard, cdsReceFili, cdsReceServ})
        list->Close();
    for (const char* photos : {"cdsFotoPraPad", "cdsFotoPraFil", "cdsFotoPraSer"})
        if (auto* ds = findChild<ClientDataSet*>(QLatin1String(photos)))
            ds->Close();
}

void TfrmReceitaPadrao::cdsPratoAfterScroll()
{
    if (CarregaContainers && isCompleteLevel(treeCode()))
        CarregaContainers();
}

// --- State of the record's controls ------------------------------------------------------------

void TfrmReceitaPadrao::dtsPratoStateChange()
{
    if (pgcPadrao->currentWidget() != tshFormulario)
        return;
    const State state = cdsPrato->state();
    const bool insert = state == State::Insert;
    const bool editing = insert || state == State::Edit;
    const bool codeFocused = dbeCdPrato->hasFocus();
    dbeCdPrato->setEnabled(insert);
    lblCdPrato->setEnabled(insert);
    if (state == State::Edit && codeFocused)
        dbeNmPrato->setFocus();
    panFiliPrato->setEnabled(!hostContext().ModuFili && !editing && !Cli_pla01300::boConsulta);
    if (!editing)
        Habilita_Pagina(isCompleteLevel(treeCode()));
    dcbPrato->setReadOnly(!insert);
}

// --- Lookups -----------------------------------------------------------------------------------

void TfrmReceitaPadrao::btpUnidadeBeforePesq()
{
    qryUnidade->Close();
    qryUnidade->setParam(QStringLiteral("P_SGUNIDADE"), QString());
    qryUnidade->setParam(QStringLiteral("P_TSGUNIDADE"), QStringLiteral("T"));
    qryUnidade->Open();
}

void TfrmReceitaPadrao::btpUnidadeAfterPesq()
{
    if (cdsPrato->state() == State::Browse)
        cdsPrato->Edit();
    field(cdsPrato, "SGUNIDADE")->setValue(field(qryUnidade, "SGUNIDADE")->Value());
}

void TfrmReceitaPadrao::btnSegMercBeforePesq()
{
    qrySegMer->Close();
    qrySegMer->setParam(QStringLiteral("P_CDSEGMER"), QString());
    qrySegMer->setParam(QStringLiteral("P_TCDSEGMER"), QStringLiteral("T"));
    qrySegMer->Open();
}

void TfrmReceitaPadrao::btnSegMercAfterPesq()
{
    if (cdsPrato->state() == State::Browse)
        cdsPrato->Edit();
    field(cdsPrato, "CDSEGMER")->setValue(field(qrySegMer, "CDSEGMER")->Value());
    field(cdsPrato, "DSSEGMER")->setValue(field(qrySegMer, "DSSEGMER")->Value());
}

void TfrmReceitaPadrao::RefreshPesqPrato(bool refresh)
{
    for (QWidget* form : QApplication::topLevelWidgets())
        if (form->inherits("TfrmCardMens") || form->inherits("TfrmCardHosp"))
            form->setProperty("RefreshPesqPrato", refresh);
}
