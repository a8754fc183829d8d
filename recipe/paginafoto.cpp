#include "paginafoto.h"

#include "cli_pla01300.h"
#include "enviador.h"
#include "frmreceitapadrao.h"
#include "respostaservidor.h"
#include "validacao.h"

#include "framework/abort.h"
#include "framework/core/consiste.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/ui/dbimage.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/messages.h"
#include "framework/ui/validafilial.h"
#include "server/connection.h"

#include <QLineEdit>
#include <QScopeGuard>
#include <QVBoxLayout>

using namespace framework;

namespace recipe {

namespace {

using State = ClientDataSet::State;

QString texto(const ClientDataSet* dataSet, const QString& field)
{
    return dataSet->Active() && !dataSet->IsEmpty() ? dataSet->FieldByName(field)->AsString() : QString();
}

QStringList nomesChave(const CamposFoto& campos)
{
    return QStringList{QStringLiteral("CDFILAUXPRAT"), QStringLiteral("CDPRATO")} + campos.escopo;
}

} // namespace

PaginaFoto::PaginaFoto(TfrmReceitaPadrao& form, const CamposFoto& campos, Enviador& enviador,
                       QList<TMaskEdit*> seletores)
    : QObject(&form), m_form(form), m_campos(campos), m_enviador(enviador), m_seletores(std::move(seletores))
{
    setObjectName(QStringLiteral("pagina_") + QLatin1String(campos.aba));
    m_aba = form.findChild<QWidget*>(QLatin1String(campos.aba));
    criaDataSet();
    m_fonte = new DataSource(&form, QLatin1String(campos.fonte));
    m_fonte->setDataSet(m_dataSet);
    m_imagem = new TDBImage(m_aba, QLatin1String(campos.imagem));
    if (!m_aba->layout())
        new QVBoxLayout(m_aba);
    m_aba->layout()->addWidget(m_imagem);
    m_imagem->setDataSource(m_fonte);
    m_imagem->setDataField(QLatin1String(campos.foto));
    conecta();
}

void PaginaFoto::criaDataSet()
{
    m_dataSet = new ClientDataSet(&m_form, QLatin1String(m_campos.dataSet));
    for (const QString& name : m_campos.campos) {
        if (name == QLatin1String(m_campos.foto))
            m_dataSet->AddField(name, FieldType::Blob);
        else if (name == u"CDFILAUXPRAT" || name == u"CDFILIAL")
            m_dataSet->AddField(name, FieldType::String, 4);
        else if (name == u"CDPRATO")
            m_dataSet->AddField(name, FieldType::String, 10);
        else if (name == u"CDSERVFILI")
            m_dataSet->AddField(name, FieldType::String, 5);
        else if (name == QLatin1String(m_campos.numero))
            m_dataSet->AddField(name, FieldType::String, 2)->setDisplayLabel(QStringLiteral("Número"));
        else
            m_dataSet->AddField(name, FieldType::String, 1);
    }
    m_dataSet->CreateDataSet();
    QStringList order = nomesChave(m_campos);
    order << QLatin1String(m_campos.numero);
    m_dataSet->setIndexFieldNames(order.join(QLatin1Char(';')));
}

void PaginaFoto::conecta()
{
    m_dataSet->BeforeInsert = [this](ClientDataSet&) { antesDeIncluir(); };
    m_dataSet->OnNewRecord = [this](ClientDataSet&) { novoRegistro(); };
    m_dataSet->AfterInsert = [this](ClientDataSet&) {
        if (m_campos.letra != 'P' && m_imagem->isEnabled() && !m_imagem->hasFocus())
            m_imagem->setFocus();
    };
    m_dataSet->BeforeEdit = [this](ClientDataSet&) {
        if (Cli_pla01300::boConsulta)
            throw Abort(); // query mode changes nothing, whatever the path
        Vd_FotoPadrao(QStringLiteral("A"));
    };
    m_dataSet->BeforeDelete = [this](ClientDataSet&) {
        if (Cli_pla01300::boConsulta)
            throw Abort();
        Vd_FotoPadrao(QStringLiteral("E"));
    };
    m_dataSet->BeforePost = [this](ClientDataSet&) { Vd_Foto(); };
    m_dataSet->BeforeCancel = [this](ClientDataSet&) {
        if (m_imagem->isEnabled())
            m_imagem->setFocus();
    };
    m_dataSet->AfterPost = [this](ClientDataSet&) { envia(); };
    m_dataSet->AfterDelete = [this](ClientDataSet&) { envia(); };
}

QStringList PaginaFoto::chave() const
{
    QStringList values{texto(m_form.cdsPrato, QStringLiteral("CDFILAUXPRAT")), texto(m_form.cdsPrato, QStringLiteral("CDPRATO"))};
    for (const TMaskEdit* edit : m_seletores)
        values << edit->Text();
    return values;
}

bool PaginaFoto::pertenceAoPrato() const
{
    if (!m_dataSet->Active() || m_dataSet->IsEmpty())
        return false;
    QStringList row;
    for (const QString& name : nomesChave(m_campos))
        row << m_dataSet->FieldByName(name)->AsString();
    return row == chave();
}

bool PaginaFoto::editando() const
{
    return m_dataSet->state() == State::Edit || m_dataSet->state() == State::Insert;
}

QString PaginaFoto::flag() const
{
    if (m_dataSet->state() == State::Insert || !m_dataSet->Active() || m_dataSet->IsEmpty())
        return {};
    return m_dataSet->Fields()[3]->AsString(); // the active flag, by position on every level
}

bool PaginaFoto::ajustado() const
{
    return m_dataSet->Active() && !m_dataSet->IsEmpty() && m_dataSet->Fields()[4]->AsString() == u"S";
}

void PaginaFoto::carrega()
{
    if (editando() || pertenceAoPrato())
        return filtra();
    const QStringList key = chave();
    // Without a dish, or a branch or service chosen, there is nothing to ask for.
    for (const QString& value : key)
        if (value.isEmpty())
            return filtra();
    // The standard photos are asked for in the working branch's tree, the others by the level's
    // branch; the service level's rows are told apart here.
    QVariantList args{m_seletores.isEmpty() ? m_form.WorkingBranch() : key.value(2), key.value(1)};
    m_dataSet->DisableControls();
    const auto enable = qScopeGuard([this] { m_dataSet->EnableControls(); });
    m_dataSet->setFiltered(false);
    loadPacket(m_dataSet, m_form.netReceitaPadrao->call(QLatin1String(m_campos.carga), args,
                                                        QStringLiteral("get_") + QLatin1String(m_campos.dataSet)));
    filtra();
}

void PaginaFoto::filtra()
{
    if (editando() || !m_dataSet->Active())
        return;
    const QStringList names = nomesChave(m_campos);
    const QStringList key = chave();
    QStringList parts;
    for (int i = 0; i < names.size(); ++i)
        parts << names[i] + QStringLiteral(" = ") + QuotedStr(key.value(i));
    m_dataSet->DisableControls();
    const auto enable = qScopeGuard([this] { m_dataSet->EnableControls(); });
    m_dataSet->setFilter(parts.join(QStringLiteral(" AND ")));
    m_dataSet->setFiltered(true);
    m_dataSet->First();
}

void PaginaFoto::esvazia()
{
    if (editando())
        return;
    m_dataSet->Close();
}

void PaginaFoto::Vd_FotoPadrao(const QString& operation) const
{
    if (m_campos.letra != 'P')
        return;
    if (texto(m_form.cdsPrato, QStringLiteral("CDFILAUXPRAT")) != u"P")
        falha("FOTPAD_N_PRATLOCA");
    if (!hostContext().ModuFili)
        return;
    if (operation == u"I")
        falha("FOTOPRAT_N_INC");
    if (operation == u"A")
        falha("FOTOPRAT_N_ALT");
    if (operation == u"E")
        falha("FOTOPRAT_N_EXC");
}

void PaginaFoto::Vd_Foto() const
{
    if (!editando())
        return;
    const Field* photo = m_dataSet->FieldByName(QLatin1String(m_campos.foto));
    if (photo->IsNull() || photo->AsBlob().isEmpty())
        falha("FOTO_EMPTY", m_imagem);
}

// --- Toolbar rules -----------------------------------------------------------------------------

void PaginaFoto::incluir()
{
    if (m_dataSet->state() == State::Browse)
        m_dataSet->Append();
}

void PaginaFoto::alterar()
{
    m_dataSet->Edit();
    if (m_imagem->isEnabled())
        m_imagem->setFocus();
}

void PaginaFoto::excluir()
{
    Vd_FotoPadrao(QStringLiteral("E")); // before the question: the answer would not matter
    if (!m_dataSet->Active() || m_dataSet->IsEmpty() || !pertenceAoPrato())
        falha("NO_DADOS");
    if (m_dataSet->state() != State::Browse
        || msgMensagensPadroes().ShowMsg(QStringLiteral("Excl"), mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    m_dataSet->Delete();
}

void PaginaFoto::confirmar()
{
    if (editando())
        m_dataSet->Post();
    else if (m_dataSet->Active() && m_dataSet->ChangeCount() > 0)
        envia(); // a change the server refused before goes again
}

void PaginaFoto::cancelar()
{
    if (msgMensagensPadroes().ShowMsg(QStringLiteral("Canc"), mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    if (editando())
        m_dataSet->Cancel();
    if (m_dataSet->Active() && m_dataSet->ChangeCount() > 0)
        m_dataSet->CancelUpdates();
}

// --- Dataset events ----------------------------------------------------------------------------

void PaginaFoto::antesDeIncluir()
{
    if (Cli_pla01300::boConsulta)
        throw Abort();
    Vd_FotoPadrao(QStringLiteral("I"));
    if (!m_seletores.isEmpty()) {
        TMaskEdit* branch = m_seletores.first();
        branch->setText(Ajusta(branch->Text(), 4));
        try {
            ValidaFilial(branch->Text(), hostContext().Operador, true);
        } catch (...) {
            branch->setFocus();
            throw;
        }
    }
    if (m_seletores.size() > 1) {
        auto* name = m_form.findChild<QLineEdit*>(QStringLiteral("edtNmServFto"));
        if (!name)
            throw Error(QStringLiteral("Componente edtNmServFto não encontrado no formulário."));
        Validacao(*m_form.msgPadrao, *m_form.qryServico).Vd_CdServico(m_seletores.first()->Text(), *m_seletores[1], *name, true);
    }
    if (chave().first().isEmpty())
        throw Abort(); // no dish
    m_flagNovo = !m_dataSet->Active() || m_dataSet->IsEmpty() ? QStringLiteral("1") : QStringLiteral("2");
}

void PaginaFoto::novoRegistro()
{
    const QStringList names = nomesChave(m_campos);
    const QStringList key = chave();
    for (int i = 0; i < names.size(); ++i)
        m_dataSet->FieldByName(names[i])->setAsString(key.value(i));
    QVariantList args{key.value(0), key.value(1), key.value(2), key.value(3)};
    const QVariant answer = m_form.netReceitaPadrao->call(QStringLiteral("GetProxCodigoFto"), args,
                                                          QStringLiteral("get_cdsProxCodigoFto"));
    ClientDataSet next(nullptr, QStringLiteral("cdsProxCodigoFto"));
    loadPacket(&next, answer);
    const Field* number = next.IsEmpty() ? nullptr : next.FindField(QLatin1String(m_campos.numero));
    QString code = QStringLiteral("01");
    if (number && !number->IsNull()) {
        if (number->AsInteger() >= 99)
            throw Abort(); // no number left: the insertion is given up without a word
        code = Ajusta(QString::number(number->AsInteger()), 2);
    }
    m_dataSet->FieldByName(QLatin1String(m_campos.ativo))->setAsString(m_flagNovo);
    m_dataSet->FieldByName(QLatin1String(m_campos.numero))->setAsString(code);
    m_dataSet->FieldByName(QLatin1String(m_campos.ajuste))->setAsString(QStringLiteral("S"));
}

void PaginaFoto::envia()
{
    m_enviador.envia(*m_dataSet, {QLatin1String(m_campos.atualiza),
                                  QStringLiteral("upd_") + QLatin1String(m_campos.dataSet), {}, {}});
    // The post's state change saw the change still pending: the commands follow the answer.
    if (m_form.dtsPadrao->DataSet() == m_dataSet)
        m_form.AtualizaBotoes();
}

// --- Activation and pictures ---------------------------------------------------------------------

void PaginaFoto::defineAtivo(const QString& flag)
{
    m_dataSet->Edit();
    m_dataSet->FieldByName(QLatin1String(m_campos.ativo))->setAsString(flag);
    m_dataSet->Post();
}

void PaginaFoto::desativa()
{
    if (Cli_pla01300::boConsulta || !m_dataSet->Active() || m_dataSet->IsEmpty())
        return;
    defineAtivo(QStringLiteral("2"));
}

void PaginaFoto::ativa()
{
    if (Cli_pla01300::boConsulta || !m_dataSet->Active() || m_dataSet->IsEmpty())
        return;
    const ClientDataSet::Bookmark current = m_dataSet->GetBookmark();
    {
        m_dataSet->DisableControls();
        const auto enable = qScopeGuard([this] { m_dataSet->EnableControls(); });
        if (m_dataSet->Locate(QLatin1String(m_campos.ativo), QStringLiteral("1")))
            defineAtivo(QStringLiteral("2"));
        m_dataSet->GotoBookmark(current);
    }
    defineAtivo(QStringLiteral("1"));
}

void PaginaFoto::abre(const QByteArray& bytes)
{
    if (m_dataSet->state() == State::Browse)
        m_dataSet->Edit();
    // The file's bytes go in unchanged; an empty file leaves the photo without a picture.
    Field* photo = m_dataSet->FieldByName(QLatin1String(m_campos.foto));
    if (bytes.isEmpty())
        photo->Clear();
    else
        photo->setAsBlob(bytes);
}

void PaginaFoto::falha(const char* key, QWidget* control) const
{
    if (control && control->isEnabled())
        control->setFocus();
    m_form.msgPadrao->ShowMsg(QString::fromLatin1(key), mtError, mbOK);
    throw Abort();
}

} // namespace recipe
