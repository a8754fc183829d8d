#include "formapreparo.h"

#include "frmreceitapadrao.h"
#include "respostaservidor.h"

#include "framework/abort.h"
#include "framework/core/consiste.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/ui/btnpesquisa.h"
#include "framework/ui/dbedit.h"
#include "framework/ui/guard.h"
#include "framework/ui/messages.h"
#include "server/connection.h"

#include <QKeyEvent>

using namespace framework;

namespace recipe {

QString AjustaHrTempPrep(const QString& text)
{
    const QString whole = text.size() > 4 ? text : Ajusta(text, 5);
    const QString minutes = Ajusta(whole.right(2).trimmed(), 2);
    const QString hours = Ajusta(whole.left(3).trimmed(), 3);
    return hours + minutes;
}

bool TempoPreparoOk(const QString& text)
{
    return text.trimmed().isEmpty() || HorarioOk(text.right(4));
}

void Vd_HrTempPrep(const Field& field, const TMessages& messages, QWidget* control)
{
    const ClientDataSet* ds = field.DataSet();
    const bool editing = ds && (ds->state() == ClientDataSet::State::Edit || ds->state() == ClientDataSet::State::Insert);
    const QString value = field.AsString();
    if (!editing || TempoPreparoOk(value))
        return;
    if (control && control->isEnabled())
        control->setFocus();
    messages.ShowMsg(QStringLiteral("TEMPPREP_INV"), mtError, mbOK);
    throw Abort();
}

FormaPreparo::FormaPreparo(TfrmReceitaPadrao& form) : QObject(&form), m_form(form)
{
    setObjectName(QStringLiteral("formaPreparo"));
    form.msgPadrao->Add({{"FormaPreparoNCad", "Forma de preparo informada não encontrada."},
                         {"TEMPPREP_INV", "Tempo de preparo não foi informado corretamente."}});
    form.dbeNrFormaPreparo->setMaxLength(5);
    installGuardedEventFilter(form.dbeNrFormaPreparo, [](QObject*, QEvent* event) {
        return event->type() == QEvent::KeyPress && teclaRecusada(static_cast<const QKeyEvent&>(*event));
    });
    guardedConnect(form.dbeNrFormaPreparo, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (editando() && text.trimmed().isEmpty())
            m_form.cdsPrato->FieldByName(QStringLiteral("NMFORMAPREPARO"))->Clear();
    });
    guardedConnect(form.dbeNrFormaPreparo, &TMaskEdit::exited, this, [this] { Vd_FormaPreparo(); });
    form.btnFormaPreparo->setFields({QStringLiteral("CODIGO"), QStringLiteral("NMFORMAPREPARO")});
    form.btnFormaPreparo->BeforePesq = [this](TBtnPesquisa&) { GetVdFormaPreparo(QStringLiteral("T"), 0); };
    form.btnFormaPreparo->AfterPesq = [this](TBtnPesquisa&) {
        ClientDataSet* dish = m_form.cdsPrato;
        if (!editando())
            dish->Edit();
        dish->FieldByName(QStringLiteral("NRFORMAPREPARO"))
            ->setValue(m_form.cdsVdFormaPreparo->FieldByName(QStringLiteral("NRFORMAPREPARO"))->Value());
        dish->FieldByName(QStringLiteral("NMFORMAPREPARO"))
            ->setAsString(m_form.cdsVdFormaPreparo->FieldByName(QStringLiteral("NMFORMAPREPARO"))->AsString());
    };
    form.Vd_FormaPreparo = [this] { Vd_FormaPreparo(); };
}

bool FormaPreparo::teclaRecusada(const QKeyEvent& key)
{
    static const QString refused = QStringLiteral(",-.Ee");
    return key.text().size() == 1 && refused.contains(key.text());
}

bool FormaPreparo::editando() const
{
    const auto state = m_form.cdsPrato->state();
    return state == ClientDataSet::State::Edit || state == ClientDataSet::State::Insert;
}

void FormaPreparo::GetVdFormaPreparo(const QString& selection, qint64 number)
{
    QVariantList args{selection, number};
    loadPacket(m_form.cdsVdFormaPreparo, m_form.netReceitaPadrao->call(QStringLiteral("GetVdFormaPreparo"), args));
}

void FormaPreparo::Vd_FormaPreparo()
{
    if (!editando())
        return;
    m_form.dbeNrFormaPreparo->updateRecord();
    Field* number = m_form.cdsPrato->FieldByName(QStringLiteral("NRFORMAPREPARO"));
    if (number->IsNull() || number->AsString().trimmed().isEmpty())
        return;
    GetVdFormaPreparo(QString(), number->AsInteger());
    if (m_form.cdsVdFormaPreparo->IsEmpty()) {
        if (m_form.dbeNrFormaPreparo->isEnabled())
            m_form.dbeNrFormaPreparo->setFocus();
        m_form.msgPadrao->ShowMsg(QStringLiteral("FormaPreparoNCad"), mtError, mbOK);
        throw Abort();
    }
    m_form.cdsPrato->FieldByName(QStringLiteral("NMFORMAPREPARO"))
        ->setAsString(m_form.cdsVdFormaPreparo->FieldByName(QStringLiteral("NMFORMAPREPARO"))->AsString());
}

} // namespace recipe
