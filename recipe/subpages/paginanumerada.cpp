#include "paginanumerada.h"

#include "recipe/core/componente.h"
#include "recipe/core/enviador.h"
#include "recipe/core/contextoreceita.h"
#include "recipe/core/respostaservidor.h"
#include "recipe/core/seletorcodigo.h"
#include "recipe/core/validacao.h"

#include "framework/abort.h"
#include "framework/core/consiste.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/messages.h"
#include "server/connection.h"

#include <QLineEdit>
#include <QScopeGuard>

using namespace framework;

namespace recipe {

using State = ClientDataSet::State;

PaginaNumerada::PaginaNumerada(ContextoReceita& contexto, NomesNumerados nomes, Enviador& enviador,
                               QList<SeletorNivel> seletores)
    : QObject(&contexto.janela()), m_contexto(contexto), m_enviador(enviador), m_seletores(std::move(seletores)),
      m_nomes(std::move(nomes))
{
    setObjectName(QStringLiteral("pagina_") + QLatin1String(m_nomes.aba));
    m_aba = componente<QWidget>(contexto.janela(), m_nomes.aba);
    m_fonte = new DataSource(&contexto.janela(), QLatin1String(m_nomes.fonte));
}

void PaginaNumerada::useDataSet(ClientDataSet* dataSet)
{
    m_dataSet = dataSet;
    m_fonte->setDataSet(dataSet);
}

QStringList PaginaNumerada::nomesChave() const
{
    return QStringList{QStringLiteral("CDFILAUXPRAT"), QStringLiteral("CDPRATO")} + m_nomes.escopo;
}

QString PaginaNumerada::origemPrato() const
{
    const ClientDataSet* prato = &m_contexto.pratos();
    return prato->Active() && !prato->IsEmpty() ? prato->FieldByName(QStringLiteral("CDFILAUXPRAT"))->AsString()
                                                : QString();
}

QStringList PaginaNumerada::chave() const
{
    const ClientDataSet* prato = &m_contexto.pratos();
    QStringList values{origemPrato(), prato->Active() && !prato->IsEmpty()
                                          ? prato->FieldByName(QStringLiteral("CDPRATO"))->AsString()
                                          : QString()};
    for (const SeletorNivel& seletor : m_seletores)
        values << seletor.codigo->Text();
    return values;
}

QWidget* PaginaNumerada::cabecalho() const
{
    return m_seletores.isEmpty() ? nullptr : m_seletores.first().codigo->parentWidget();
}

void PaginaNumerada::validaSeletores() const
{
    if (m_seletores.isEmpty())
        return;
    const SeletorNivel& filial = m_seletores.first();
    validaFilial(*filial.codigo, *componente<QLineEdit>(m_contexto.janela(), filial.nome), true);
    if (m_seletores.size() > 1)
        Validacao(m_contexto.mensagens(), m_contexto.servicos())
            .Vd_CdServico(filial.codigo->Text(), *m_seletores[1].codigo, *componente<QLineEdit>(m_contexto.janela(), m_seletores[1].nome),
                          true);
}

bool PaginaNumerada::pertenceAoPrato() const
{
    if (!m_dataSet->Active() || m_dataSet->IsEmpty())
        return false;
    QStringList row;
    for (const QString& name : nomesChave())
        row << m_dataSet->FieldByName(name)->AsString();
    return row == chave();
}

bool PaginaNumerada::editando() const
{
    return m_dataSet->state() == State::Edit || m_dataSet->state() == State::Insert;
}

QVariantList PaginaNumerada::argumentosCarga(const QStringList& key) const
{
    QVariantList args;
    for (const QString& value : key)
        args << value;
    return args;
}

void PaginaNumerada::carrega()
{
    // A change the server refused stays until it is sent or given up (the tree waits for it).
    if (editando() || pertenceAoPrato() || (m_dataSet->Active() && m_dataSet->ChangeCount() > 0))
        return filtra();
    const QStringList key = chave();
    // Without a dish, or a branch or service chosen, there is nothing to ask for.
    for (const QString& value : key)
        if (value.isEmpty())
            return filtra();
    m_dataSet->DisableControls();
    const auto enable = qScopeGuard([this] { m_dataSet->EnableControls(); });
    m_dataSet->setFiltered(false);
    loadPacket(m_dataSet, m_contexto.servidor().call(QLatin1String(m_nomes.carga), argumentosCarga(key),
                                                        QStringLiteral("get_") + QLatin1String(m_nomes.dataSet)));
    filtra();
}

void PaginaNumerada::filtra()
{
    if (editando() || !m_dataSet->Active())
        return;
    // Quoted values: a code holding a quote cannot leave the filter.
    const QStringList names = nomesChave();
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

void PaginaNumerada::confirmar()
{
    if (editando())
        m_dataSet->Post();
    else if (m_dataSet->Active() && m_dataSet->ChangeCount() > 0)
        envia(); // a change the server refused before goes again
}

bool PaginaNumerada::descarta()
{
    if (msgMensagensPadroes().ShowMsg(QStringLiteral("Canc"), mtConfirmation, mbYes | mbNo) != mrYes)
        return false;
    if (editando())
        m_dataSet->Cancel();
    if (m_dataSet->Active() && m_dataSet->ChangeCount() > 0)
        m_dataSet->CancelUpdates();
    return true;
}

void PaginaNumerada::escolheFlagNovo()
{
    m_flagNovo = !m_dataSet->Active() || m_dataSet->IsEmpty() ? QStringLiteral("1") : QStringLiteral("2");
}

void PaginaNumerada::numeraNovo(const QString& method, const QString& packet)
{
    const QStringList names = nomesChave();
    const QStringList key = chave();
    for (int i = 0; i < names.size(); ++i)
        m_dataSet->FieldByName(names[i])->setAsString(key.value(i));
    const QVariant answer = m_contexto.servidor().call(
        method, {key.value(0), key.value(1), key.value(2), key.value(3)}, QStringLiteral("get_") + packet);
    ClientDataSet next(nullptr, packet);
    loadPacket(&next, answer);
    const Field* number = next.IsEmpty() ? nullptr : next.FindField(QLatin1String(m_nomes.numero));
    QString code = QStringLiteral("01");
    if (number && !number->IsNull()) {
        if (number->AsInteger() >= 99)
            throw Abort(); // no number left: the insertion is given up without a word
        code = Ajusta(QString::number(number->AsInteger()), 2);
    }
    m_dataSet->FieldByName(QLatin1String(m_nomes.ativo))->setAsString(m_flagNovo);
    m_dataSet->FieldByName(QLatin1String(m_nomes.numero))->setAsString(code);
}

void PaginaNumerada::envia()
{
    m_enviador.envia(*m_dataSet, {QLatin1String(m_nomes.atualiza),
                                  QStringLiteral("upd_") + QLatin1String(m_nomes.dataSet), {}, {}});
    // The post's state change saw the change still pending: the commands follow the answer.
    if (m_contexto.fonteComandos().DataSet() == m_dataSet)
        m_contexto.AtualizaBotoes();
}

void PaginaNumerada::defineAtivo(const QString& flag)
{
    m_dataSet->Edit();
    m_dataSet->FieldByName(QLatin1String(m_nomes.ativo))->setAsString(flag);
    m_dataSet->Post();
}

bool PaginaNumerada::podeAtivar() const
{
    return !m_contexto.consulta() && m_dataSet->Active() && !m_dataSet->IsEmpty();
}

void PaginaNumerada::ativaVisivel()
{
    const ClientDataSet::Bookmark current = m_dataSet->GetBookmark();
    {
        m_dataSet->DisableControls();
        const auto enable = qScopeGuard([this] { m_dataSet->EnableControls(); });
        if (m_dataSet->Locate(QLatin1String(m_nomes.ativo), QStringLiteral("1")))
            defineAtivo(QStringLiteral("2"));
        m_dataSet->GotoBookmark(current);
    }
    defineAtivo(QStringLiteral("1"));
}

void PaginaNumerada::falha(const char* key, QWidget* control) const { recipe::falha(m_contexto.mensagens(), key, control); }

} // namespace recipe
