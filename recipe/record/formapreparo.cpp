#include "formapreparo.h"

#include "recipe/core/contextoreceita.h"
#include "registroprato.h"
#include "recipe/core/respostaservidor.h"

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

FormaPreparo::FormaPreparo(ContextoReceita& contexto, RegistroPrato& registro)
    : QObject(&contexto.janela()), m_contexto(contexto), m_c(registro.controles())
{
    setObjectName(QStringLiteral("formaPreparo"));
    contexto.mensagens().Add({{"FormaPreparoNCad", "Forma de preparo informada não encontrada."},
                         {"TEMPPREP_INV", "Tempo de preparo não foi informado corretamente."}});
    m_c.dbeNrFormaPreparo->setMaxLength(5);
    installGuardedEventFilter(m_c.dbeNrFormaPreparo, [](QObject*, QEvent* event) {
        return event->type() == QEvent::KeyPress && teclaRecusada(static_cast<const QKeyEvent&>(*event));
    });
    guardedConnect(m_c.dbeNrFormaPreparo, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (editando() && text.trimmed().isEmpty())
            m_contexto.pratos().FieldByName(QStringLiteral("NMFORMAPREPARO"))->Clear();
    });
    guardedConnect(m_c.dbeNrFormaPreparo, &TMaskEdit::exited, this, [this] { Vd_FormaPreparo(); });
    m_c.btnFormaPreparo->setFields({QStringLiteral("CODIGO"), QStringLiteral("NMFORMAPREPARO")});
    m_c.btnFormaPreparo->BeforePesq = [this](TBtnPesquisa&) { GetVdFormaPreparo(QStringLiteral("T"), 0); };
    m_c.btnFormaPreparo->AfterPesq = [this](TBtnPesquisa&) {
        ClientDataSet* dish = &m_contexto.pratos();
        if (!editando())
            dish->Edit();
        dish->FieldByName(QStringLiteral("NRFORMAPREPARO"))
            ->setValue(m_c.cdsVdFormaPreparo->FieldByName(QStringLiteral("NRFORMAPREPARO"))->Value());
        dish->FieldByName(QStringLiteral("NMFORMAPREPARO"))
            ->setAsString(m_c.cdsVdFormaPreparo->FieldByName(QStringLiteral("NMFORMAPREPARO"))->AsString());
    };
    registro.Vd_FormaPreparo = [this] { Vd_FormaPreparo(); };
}

bool FormaPreparo::teclaRecusada(const QKeyEvent& key)
{
    static const QString refused = QStringLiteral(",-.Ee");
    return key.text().size() == 1 && refused.contains(key.text());
}

bool FormaPreparo::editando() const
{
    const auto state = m_contexto.pratos().state();
    return state == ClientDataSet::State::Edit || state == ClientDataSet::State::Insert;
}

void FormaPreparo::GetVdFormaPreparo(const QString& selection, qint64 number)
{
    QVariantList args{selection, number};
    loadPacket(m_c.cdsVdFormaPreparo, m_contexto.servidor().call(QStringLiteral("GetVdFormaPreparo"), args));
}

void FormaPreparo::Vd_FormaPreparo()
{
    if (!editando())
        return;
    m_c.dbeNrFormaPreparo->updateRecord();
    Field* number = m_contexto.pratos().FieldByName(QStringLiteral("NRFORMAPREPARO"));
    if (number->IsNull() || number->AsString().trimmed().isEmpty())
        return;
    GetVdFormaPreparo(QString(), number->AsInteger());
    if (m_c.cdsVdFormaPreparo->IsEmpty()) {
        if (m_c.dbeNrFormaPreparo->isEnabled())
            m_c.dbeNrFormaPreparo->setFocus();
        m_contexto.mensagens().ShowMsg(QStringLiteral("FormaPreparoNCad"), mtError, mbOK);
        throw Abort();
    }
    m_contexto.pratos().FieldByName(QStringLiteral("NMFORMAPREPARO"))
        ->setAsString(m_c.cdsVdFormaPreparo->FieldByName(QStringLiteral("NMFORMAPREPARO"))->AsString());
}

} // namespace recipe
