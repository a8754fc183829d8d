#include "paginapreparo.h"

#include "recipe/core/enviador.h"
#include "recipe/core/contextoreceita.h"
#include "recipe/core/respostaservidor.h"

#include "framework/abort.h"
#include "framework/core/consiste.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/ui/dbrichedit.h"
#include "framework/ui/guard.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/messages.h"
#include "framework/ui/tabvalid.h"
#include "server/connection.h"

#include <QKeyEvent>
#include <QScopeGuard>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace framework;

namespace recipe {

using State = ClientDataSet::State;

PaginaPreparo::PaginaPreparo(ContextoReceita& contexto, const CamposPreparo& campos, Enviador& enviador,
                             QList<SeletorNivel> seletores)
    : PaginaNumerada(contexto, campos, enviador, std::move(seletores)),
      m_campos(campos)
{
    criaDataSet();
    m_editor = new TDBRichEdit(m_aba, QLatin1String(campos.editor));
    if (!m_aba->layout())
        new QVBoxLayout(m_aba);
    m_aba->layout()->addWidget(m_editor);
    m_editor->setDataSource(m_fonte);
    m_editor->setDataField(QLatin1String(campos.texto));
    m_editor->installEventFilter(this);
    conecta();
}

void PaginaPreparo::criaDataSet()
{
    useDataSet(new ClientDataSet(&m_contexto.janela(), QLatin1String(m_campos.dataSet)));
    m_dataSet->AddField(QStringLiteral("CDFILAUXPRAT"), FieldType::String, 4);
    m_dataSet->AddField(QStringLiteral("CDPRATO"), FieldType::String, 10);
    for (const QString& scope : m_campos.escopo)
        m_dataSet->AddField(scope, FieldType::String, scope == u"CDFILIAL" ? 4 : 5);
    m_dataSet->AddField(QLatin1String(m_campos.numero), FieldType::String, 2)->setDisplayLabel(QStringLiteral("Número"));
    m_dataSet->AddField(QLatin1String(m_campos.ativo), FieldType::String, 1);
    m_dataSet->AddField(QLatin1String(m_campos.texto), FieldType::Blob);
    m_dataSet->AddField(QLatin1String(m_campos.responsavel), FieldType::String, 40)
        ->setDisplayLabel(QStringLiteral("Responsável"));
    m_dataSet->CreateDataSet();
    // The active mode ("1") comes first.
    QStringList order{QStringLiteral("CDFILAUXPRAT"), QStringLiteral("CDPRATO")};
    order += m_campos.escopo;
    order << QLatin1String(m_campos.ativo) << QLatin1String(m_campos.numero);
    m_dataSet->setIndexFieldNames(order.join(QLatin1Char(';')));
}

void PaginaPreparo::conecta()
{
    m_dataSet->BeforeInsert = [this](ClientDataSet&) { antesDeIncluir(); };
    m_dataSet->OnNewRecord = [this](ClientDataSet&) {
        numeraNovo(QStringLiteral("GetProxCodigoPrat"), QStringLiteral("cdsProxCodigoPrat"));
    };
    m_dataSet->BeforeEdit = [this](ClientDataSet&) {
        if (m_contexto.consulta())
            throw Abort(); // query mode changes nothing, whatever the path
        Vd_TxPreparo(QStringLiteral("A"));
    };
    m_dataSet->BeforeDelete = [this](ClientDataSet&) {
        if (m_contexto.consulta())
            throw Abort();
        Vd_TxPreparo(QStringLiteral("E"));
    };
    m_dataSet->BeforePost = [this](ClientDataSet&) { antesDePostar(); };
    m_dataSet->AfterPost = [this](ClientDataSet&) { envia(); };
    m_dataSet->AfterDelete = [this](ClientDataSet&) { envia(); };
}

bool PaginaPreparo::desativado() const
{
    return m_dataSet->state() != State::Insert && m_dataSet->Active() && !m_dataSet->IsEmpty()
           && m_dataSet->FieldByName(QLatin1String(m_campos.ativo))->AsString() == u"2";
}

void PaginaPreparo::iniciaEdicao()
{
    if (m_contexto.consulta())
        throw Abort();
    if (!editando())
        m_dataSet->Edit();
}

void PaginaPreparo::Vd_TxPreparo(const QString& operation) const
{
    if (m_campos.letra != 'P')
        return;
    if (operation == u"I" && origemPrato() != u"P")
        falha("PREPPADR_N_PRATLOCA");
    if (!hostContext().ModuFili)
        return;
    if (operation == u"I")
        falha("PREPPADR_N_INC");
    if (operation == u"A")
        falha("PREPPADR_N_ALT");
    if (operation == u"E")
        falha("PREPPADR_N_EXC");
}

// --- Toolbar rules -----------------------------------------------------------------------------

void PaginaPreparo::incluir()
{
    try {
        m_dataSet->Append();
    } catch (...) {
        // The editor was cleared for the new mode: it shows the current one again.
        m_editor->setContent(m_dataSet->IsEmpty() ? QByteArray()
                                                  : m_dataSet->FieldByName(QLatin1String(m_campos.texto))->AsBlob());
        throw;
    }
}

void PaginaPreparo::alterar()
{
    if (desativado())
        falha("NAtiv_dre", m_editor);
    m_dataSet->Edit();
    m_editor->setFocus();
}

void PaginaPreparo::excluir()
{
    if (m_dataSet->IsEmpty() || !pertenceAoPrato())
        return;
    Vd_TxPreparo(QStringLiteral("E")); // before the question: the answer would not matter
    if (msgMensagensPadroes().ShowMsg(QStringLiteral("Excl"), mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    m_dataSet->Delete();
}

void PaginaPreparo::cancelar()
{
    if (!descarta())
        return;
    m_editor->setContent(m_dataSet->IsEmpty() ? QByteArray()
                                              : m_dataSet->FieldByName(QLatin1String(m_campos.texto))->AsBlob());
}

// --- Dataset events ----------------------------------------------------------------------------

void PaginaPreparo::antesDeIncluir()
{
    if (m_contexto.consulta())
        throw Abort();
    Vd_TxPreparo(QStringLiteral("I"));
    validaSeletores();
    if (chave().first().isEmpty())
        throw Abort(); // no dish
    escolheFlagNovo();
    m_editor->clear();
    m_editor->setFocus();
}

void PaginaPreparo::Vd_Preparo(const QString& text) const
{
    if (text.trimmed().isEmpty())
        falha("TXPREPARO_EMPTY", m_editor);
}

void PaginaPreparo::antesDePostar()
{
    Vd_Preparo(m_editor->toPlainText());
    // What was typed; a new mode's text is the editor's. Imports store the editor's rich text
    // themselves; a post that only changes the activation keeps the mode's text.
    m_editor->updateRecord();
    Field* texto = m_dataSet->FieldByName(QLatin1String(m_campos.texto));
    if (texto->IsNull())
        texto->setAsBlob(m_editor->content());
    if (m_campos.letra == 'P')
        Seta_Campo_Null(*m_dataSet);
}

// --- Activation and imports ----------------------------------------------------------------------

void PaginaPreparo::desativa()
{
    if (!podeAtivar())
        return;
    m_editor->setFocus();
    defineAtivo(QStringLiteral("2"));
}

void PaginaPreparo::ativa()
{
    if (!podeAtivar())
        return;
    m_editor->setFocus();
    ativaVisivel();
}

void PaginaPreparo::importaArquivo(const QByteArray& bytes)
{
    if (!editando())
        iniciaEdicao();
    m_editor->setContent(bytes);
    m_dataSet->FieldByName(QLatin1String(m_campos.texto))->setAsBlob(m_editor->content());
}

void PaginaPreparo::importaTexto(const QByteArray& text)
{
    if (!editando()) {
        if (!pertenceAoPrato() || m_dataSet->FieldByName(QLatin1String(m_campos.texto))->IsNull()) {
            m_dataSet->Append();
        } else {
            m_dataSet->Edit();
            m_dataSet->FieldByName(QLatin1String(m_campos.texto))->Clear();
            m_editor->clear();
        }
    }
    m_editor->setContent(text);
    m_dataSet->FieldByName(QLatin1String(m_campos.texto))->setAsBlob(m_editor->content());
}

// --- Keyboard ----------------------------------------------------------------------------------

bool PaginaPreparo::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_editor || event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    bool refused = true;
    guarded([&] { refused = recusaTecla(*static_cast<QKeyEvent*>(event)); });
    return refused;
}

bool PaginaPreparo::recusaTecla(const QKeyEvent& key)
{
    const bool ctrl = key.modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    const bool typing = !key.text().isEmpty() && key.text().at(0).isPrint() && !ctrl;
    const bool deleting = key.key() == Qt::Key_Delete || key.key() == Qt::Key_Backspace
                          || key.matches(QKeySequence::Paste) || key.matches(QKeySequence::Cut);
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    if (!typing && !deleting && !(enter && !ctrl))
        return false; // moving around and copying change nothing
    if (m_contexto.consulta())
        return true;
    if (desativado())
        falha("NAtiv_dre");
    if (key.key() == Qt::Key_Delete && (!m_dataSet->Active() || m_dataSet->state() == State::Browse))
        falha("NAtiv_dre");
    if (!editando()) {
        if (m_dataSet->IsEmpty())
            m_dataSet->Append(); // the first words of a dish's first mode
        else
            m_dataSet->Edit();
    }
    return false;
}

} // namespace recipe
