#include "importafator.h"
#include "paginareceita.h"

#include "recipe/core/contextoreceita.h"
#include "recipe/core/enviador.h"
#include "recipe/core/levelfields.h"

#include "framework/core/consiste.h"
#include "framework/data/clientdataset.h"
#include "framework/ui/dialogs.h"
#include "framework/ui/messages.h"
#include "server/connection.h"

#include <QScopeGuard>
#include <QWidget>

namespace recipe {

using framework::ClientDataSet;

namespace {

const QString temporaria = QStringLiteral("FATOR_X");

enum Resposta { Todos = 0, Selecionado = 1 };

} // namespace

ImportaFator::ImportaFator(ContextoReceita& contexto, std::function<PaginaReceita*()> paginaAtiva)
    : m_contexto(contexto), m_paginaAtiva(std::move(paginaAtiva))
{
}

void ImportaFator::addMessages(framework::TMessages& messages)
{
    messages.Add({
        {"MSG_FATOR", "Importa o fator de correção do cadastro de produto para a receita. Importar de todos os "
                      "produtos cadastrados na receita ou só do produto selecionado (%s)?"},
        {"FATO_TODOS", "Todos"},
        {"SELEC", "Selecionado"},
        {"NÃO", "Não"},
        {"pro_ImportaFator", "Importando o fator de correção dos produtos..."},
    });
}

void ImportaFator::sbtImportFatorClick()
{
    PaginaReceita* pagina = m_paginaAtiva ? m_paginaAtiva() : nullptr;
    if (!pagina || !pagina->lista().Active() || pagina->lista().IsEmpty())
        return;
    framework::TMessages& messages = m_contexto.mensagens();
    const QString produto = pagina->lista().FieldByName(QStringLiteral("NMPRODUTO"))->AsString().trimmed();
    messages.Add(temporaria, messages.Msg(QStringLiteral("MSG_FATOR"), {produto}));
    const auto fim = qScopeGuard([&messages] {
        framework::dialogs().hideProgress();
        messages.Remove(temporaria);
    });
    const int resposta = messages.ShowMsgAlert(temporaria, framework::mtConfirmation,
                                               {QStringLiteral("FATO_TODOS"), QStringLiteral("SELEC"), QStringLiteral("NÃO")});
    if (resposta != Todos && resposta != Selecionado)
        return;
    importa(*pagina, resposta == Todos);
}

void ImportaFator::importa(PaginaReceita& pagina, bool todos) const
{
    ClientDataSet& lista = pagina.lista();
    framework::dialogs().showProgress(&m_contexto.janela(), m_contexto.mensagens().Msg(QStringLiteral("pro_ImportaFator")));
    m_contexto.janela().repaint();
    const QString atual = lista.FieldByName(QStringLiteral("CDPRODUTO"))->AsString();
    lista.DisableControls();
    const auto controles = qScopeGuard([&lista, todos, atual] {
        if (todos)
            lista.Locate(QStringLiteral("CDPRODUTO"), atual);
        lista.EnableControls();
    });
    pagina.lote([&] {
        if (!todos) {
            importaLinha(pagina);
            return;
        }
        for (lista.First(); !lista.Eof(); lista.Next())
            importaLinha(pagina);
    });
    const LevelFields& nivel = pagina.nivel();
    Enviador(m_contexto.servidor()).envia(lista, {nivel.updateMethod, QStringLiteral("upd_") + lista.objectName(), {}, {}});
    m_contexto.AtualizaBotoes();
}

void ImportaFator::importaLinha(PaginaReceita& pagina) const
{
    ClientDataSet& lista = pagina.lista();
    if (!lista.Active())
        return;
    const LevelFields& nivel = pagina.nivel();
    lista.Edit();
    try {
        const QVariant resposta = m_contexto.servidor().call(
            QStringLiteral("GetValorProduto"), {lista.FieldByName(QStringLiteral("CDPRODUTO"))->AsString()});
        const double perda = framework::StrToFloatDef(resposta.toString(), 0);
        lista.FieldByName(nivel.cleaningLoss)->setAsFloat(perda);
        lista.FieldByName(nivel.cleaningYield)->setAsFloat(100 - perda);
        lista.Post();
    } catch (...) {
        // The row that failed keeps what it held; the ones before it stay imported.
        if (lista.state() == ClientDataSet::State::Edit)
            lista.Cancel();
        throw;
    }
}

} // namespace recipe
