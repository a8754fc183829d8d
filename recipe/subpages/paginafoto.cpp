#include "paginafoto.h"

#include "recipe/core/enviador.h"
#include "recipe/core/contextoreceita.h"
#include "recipe/core/respostaservidor.h"

#include "framework/abort.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/ui/dbimage.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/messages.h"
#include "server/connection.h"

#include <QScopeGuard>
#include <QVBoxLayout>

using namespace framework;

namespace recipe {

using State = ClientDataSet::State;

PaginaFoto::PaginaFoto(ContextoReceita& contexto, const CamposFoto& campos, Enviador& enviador,
                       QList<SeletorNivel> seletores)
    : PaginaNumerada(contexto, campos, enviador, std::move(seletores)),
      m_campos(campos)
{
    criaDataSet();
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
    useDataSet(new ClientDataSet(&m_contexto.janela(), QLatin1String(m_campos.dataSet)));
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
    QStringList order = nomesChave();
    order << QLatin1String(m_campos.numero);
    m_dataSet->setIndexFieldNames(order.join(QLatin1Char(';')));
}

void PaginaFoto::conecta()
{
    m_dataSet->BeforeInsert = [this](ClientDataSet&) { antesDeIncluir(); };
    m_dataSet->OnNewRecord = [this](ClientDataSet&) {
        numeraNovo(QStringLiteral("GetProxCodigoFto"), QStringLiteral("cdsProxCodigoFto"));
        m_dataSet->FieldByName(QLatin1String(m_campos.ajuste))->setAsString(QStringLiteral("S"));
    };
    m_dataSet->AfterInsert = [this](ClientDataSet&) {
        if (m_campos.letra != 'P' && m_imagem->isEnabled() && !m_imagem->hasFocus())
            m_imagem->setFocus();
    };
    m_dataSet->BeforeEdit = [this](ClientDataSet&) {
        if (m_contexto.consulta())
            throw Abort(); // query mode changes nothing, whatever the path
        Vd_FotoPadrao(QStringLiteral("A"));
    };
    m_dataSet->BeforeDelete = [this](ClientDataSet&) {
        if (m_contexto.consulta())
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

// The standard photos are asked for in the working branch's tree, the others by the level's
// branch; the service level's rows are told apart by the filter.
QVariantList PaginaFoto::argumentosCarga(const QStringList& key) const
{
    return {m_seletores.isEmpty() ? m_contexto.filialTrabalho() : key.value(2), key.value(1)};
}

void PaginaFoto::esvazia()
{
    if (editando() || (m_dataSet->Active() && m_dataSet->ChangeCount() > 0))
        return;
    m_dataSet->Close();
}

void PaginaFoto::Vd_FotoPadrao(const QString& operation) const
{
    if (m_campos.letra != 'P')
        return;
    if (origemPrato() != u"P")
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

void PaginaFoto::cancelar()
{
    descarta();
}

// --- Dataset events ----------------------------------------------------------------------------

void PaginaFoto::antesDeIncluir()
{
    if (m_contexto.consulta())
        throw Abort();
    Vd_FotoPadrao(QStringLiteral("I"));
    validaSeletores();
    if (chave().first().isEmpty())
        throw Abort(); // no dish
    escolheFlagNovo();
}

// --- Activation and pictures ---------------------------------------------------------------------

void PaginaFoto::desativa()
{
    if (podeAtivar())
        defineAtivo(QStringLiteral("2"));
}

void PaginaFoto::ativa()
{
    if (podeAtivar())
        ativaVisivel();
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

} // namespace recipe
