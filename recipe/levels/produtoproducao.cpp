#include "produtoproducao.h"
#include "painelprato.h"

#include "recipe/core/componente.h"
#include "recipe/core/contextoreceita.h"
#include "recipe/core/respostaservidor.h"

#include "framework/abort.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/ui/btnpesquisa.h"
#include "framework/ui/dbedit.h"
#include "framework/ui/guard.h"
#include "framework/ui/messages.h"
#include "framework/ui/query.h"
#include "server/connection.h"

namespace recipe {

using framework::ClientDataSet;
using framework::Field;
using framework::FieldType;

namespace {

// The production products and the recipes using one serve every level.
ClientDataSet* compartilhado(QWidget& form, const QString& name, std::initializer_list<std::pair<const char*, int>> campos)
{
    if (auto* found = form.findChild<ClientDataSet*>(name, Qt::FindDirectChildrenOnly))
        return found;
    auto* ds = new ClientDataSet(&form, name);
    for (const auto& [field, size] : campos)
        ds->AddField(QString::fromLatin1(field), FieldType::String, size);
    return ds;
}

} // namespace

ProdutoProducao::Nomes ProdutoProducao::nomes(const QString& nivel)
{
    const QString sufixo = nivel == u"P" ? QStringLiteral("Padr") : nivel == u"F" ? QStringLiteral("Fili")
                           : nivel == u"S"                        ? QStringLiteral("Serv")
                                                                  : QString();
    if (sufixo.isEmpty())
        return {};
    return {QStringLiteral("dbeCdProd") + sufixo, QStringLiteral("dbeNmProd") + sufixo,
            QStringLiteral("btnProd") + sufixo, nivel};
}

void ProdutoProducao::addMessages(framework::TMessages& messages)
{
    messages.Add({
        {"PRODPROD", "Produto de Produção"},
        {"NAOHAPRODPROD", "Não há produto cadastrado."},
        {"ProdProdNivel", "Produto de produção deve ser informado com nível completo."},
        {"ProdProd_ja_existe2", "O produto de produção ja esta sendo usado na(s) seguinte(s) receita(s): %s  Realize "
                                "a importação da receita para utilização deste produto acabado."},
        {"ProdNCad", "Produto de produção não cadastrado ou já utilizado em outro prato."},
        {"get_cdsProdProd", "Carregando produtos de produção..."},
        {"get_cdsVerificaProdProd", "Verificando o produto de produção..."},
    });
}

ProdutoProducao::ProdutoProducao(ContextoReceita& contexto, PainelPrato& painel, Nomes nomes)
    : QObject(&painel), m_contexto(contexto), m_painel(painel), m_nomes(std::move(nomes))
{
    QWidget& form = contexto.janela();
    setObjectName(m_nomes.codigo + QStringLiteral("Regras"));
    m_codigo = componente<framework::TDBEdit>(form, m_nomes.codigo);
    m_nome = componente<framework::TDBEdit>(form, m_nomes.nome);
    m_botao = componente<framework::TBtnPesquisa>(form, m_nomes.botao);
    m_produtos = compartilhado(form, QStringLiteral("cdsProdProd"), {{"CDPRODUTO", 10}, {"CDARVPROD", 20}, {"NMPRODUTO", 50}});
    m_produtos->FieldByName(QStringLiteral("CDARVPROD"))->setDisplayLabel(QStringLiteral("Código"));
    m_produtos->FieldByName(QStringLiteral("NMPRODUTO"))->setDisplayLabel(QStringLiteral("Nome"));
    m_produtos->FieldByName(QStringLiteral("CDPRODUTO"))->setVisible(false);
    m_verifica = compartilhado(form, QStringLiteral("cdsVerificaProdProd"), {{"TIPO", 1}, {"RECEITA", 60}});
    m_qryProdProd = form.findChild<framework::Query*>(QStringLiteral("qryProdProd"), Qt::FindDirectChildrenOnly);
    if (!m_qryProdProd) {
        m_qryProdProd = new framework::Query(&form, QStringLiteral("qryProdProd"));
        m_qryProdProd->setSQL(QStringLiteral("SELECT CDPRODUTO FROM PRODUTO WHERE CDARVPROD = :P_CDARVPROD"));
    }

    m_codigo->setDataSource(&painel.fonte());
    m_codigo->setDataField(QStringLiteral("CDARVPROD"));
    m_codigo->setMaxLength(20);
    m_nome->setDataSource(&painel.fonte());
    m_nome->setDataField(QStringLiteral("NMPRODUTO"));
    m_nome->setReadOnly(true);
    m_nome->setFocusPolicy(Qt::NoFocus);
    m_botao->setDataSet(m_produtos);
    m_botao->setTitle(contexto.mensagens().Msg(QStringLiteral("PRODPROD")));
    m_botao->setEmptyText(contexto.mensagens().Msg(QStringLiteral("NAOHAPRODPROD")));
    m_botao->setFields({QStringLiteral("CDARVPROD"), QStringLiteral("NMPRODUTO")});
    m_botao->BeforePesq = [this](framework::TBtnPesquisa&) { GetProdProd({}, QStringLiteral("T")); };
    m_botao->AfterPesq = [this](framework::TBtnPesquisa&) { escolhido(); };
    // After the button's own search (connected first), chosen or not.
    framework::guardedConnect(m_botao, &QToolButton::clicked, this, [this] { esquece(); });

    painel.Vd_ProdProd = [this] { Vd_ProdProd(); };
    framework::guardedConnect(m_codigo, &framework::TMaskEdit::exited, this, [this] {
        Vd_ProdProd();
        if (m_codigo->text().trimmed().isEmpty())
            m_nome->clear();
    });
    // What the record holds while it is not being edited is what the server has.
    framework::guardedConnect(&painel.fonte(), &framework::DataSource::stateChanged, this, [this] {
        const ClientDataSet& dados = m_painel.dados();
        const bool editando = dados.state() == ClientDataSet::State::Edit || dados.state() == ClientDataSet::State::Insert;
        if (!editando)
            m_salvo = dados.Active() && !dados.IsEmpty() ? dado("CDPRODPRODUCAO") : QString();
    });
}

QString ProdutoProducao::dado(const char* field) const
{
    const Field* f = m_painel.dados().FindField(QString::fromLatin1(field));
    return f ? f->AsString().trimmed() : QString();
}

void ProdutoProducao::falha(const char* key, const QStringList& args) const
{
    if (m_codigo->isEnabled())
        m_codigo->setFocus();
    m_contexto.mensagens().ShowMsg(QString::fromLatin1(key), framework::mtError, framework::mbOK, args);
    throw framework::Abort();
}

void ProdutoProducao::GetProdProd(const QString& codigo, const QString& filtro)
{
    const ClientDataSet& pratos = m_contexto.pratos();
    QVariantList args{codigo, filtro, pratos.FieldByName(QStringLiteral("CDFILAUXPRAT"))->AsString(),
                      pratos.FieldByName(QStringLiteral("CDPRATO"))->AsString()};
    loadPacket(m_produtos, m_contexto.servidor().call(QStringLiteral("GetProdProd"), args, QStringLiteral("get_cdsProdProd")));
}

void ProdutoProducao::escolhido()
{
    m_painel.entraEdicao();
    ClientDataSet& dados = m_painel.dados();
    dados.FieldByName(QStringLiteral("CDPRODPRODUCAO"))->setValue(m_produtos->FieldByName(QStringLiteral("CDPRODUTO"))->Value());
    dados.FieldByName(QStringLiteral("CDARVPROD"))->setValue(m_produtos->FieldByName(QStringLiteral("CDARVPROD"))->Value());
    dados.FieldByName(QStringLiteral("NMPRODUTO"))->setValue(m_produtos->FieldByName(QStringLiteral("NMPRODUTO"))->Value());
    esquece();
}

void ProdutoProducao::esquece()
{
    // The dish record takes the row cdsProdProd holds when it is next posted, whichever dish that
    // is by then: a level's choice, stored with the level's data, is not left there for it.
    m_produtos->Close();
}

void ProdutoProducao::Vd_ProdProd()
{
    ClientDataSet& dados = m_painel.dados();
    if (dados.state() != ClientDataSet::State::Edit && dados.state() != ClientDataSet::State::Insert)
        return;
    Field* producao = dados.FieldByName(QStringLiteral("CDPRODPRODUCAO"));
    Field* nome = dados.FieldByName(QStringLiteral("NMPRODUTO"));
    const QString codigo = m_codigo->text().trimmed();
    if (codigo.isEmpty()) {
        producao->Clear();
        dados.FieldByName(QStringLiteral("CDARVPROD"))->Clear();
        nome->Clear();
        return;
    }
    const framework::TDBPicture picture = framework::hostContext().DBPictObj(0);
    if (picture.Nivel(codigo) != picture.GetTtNiveis()) {
        nome->Clear();
        falha("ProdProdNivel");
    }
    m_qryProdProd->Close();
    m_qryProdProd->setParam(QStringLiteral("P_CDARVPROD"), codigo);
    m_qryProdProd->Open();
    const QString produto =
        m_qryProdProd->IsEmpty() ? QString() : m_qryProdProd->FieldByName(QStringLiteral("CDPRODUTO"))->AsString().trimmed();
    if (!produto.isEmpty() && produto != m_salvo) {
        const QString receitas = outrasReceitas(produto);
        if (!receitas.isEmpty())
            falha("ProdProd_ja_existe2", {receitas});
    }
    GetProdProd(codigo, {});
    const bool encontrado = !m_produtos->IsEmpty();
    if (!encontrado) {
        nome->Clear();
        producao->Clear();
    } else {
        producao->setValue(m_produtos->FieldByName(QStringLiteral("CDPRODUTO"))->Value());
        dados.FieldByName(QStringLiteral("CDARVPROD"))->setValue(m_produtos->FieldByName(QStringLiteral("CDARVPROD"))->Value());
        nome->setValue(m_produtos->FieldByName(QStringLiteral("NMPRODUTO"))->Value());
    }
    esquece();
    if (!encontrado)
        falha("ProdNCad");
}

QString ProdutoProducao::prato(const char* field) const
{
    return m_contexto.pratos().FieldByName(QString::fromLatin1(field))->AsString();
}

QString ProdutoProducao::outrasReceitas(const QString& produto) const
{
    loadPacket(m_verifica, m_contexto.servidor().call(QStringLiteral("VerificaProdProd"),
                                                      {produto, prato("CDFILAUXPRAT"), prato("CDPRATO"), m_nomes.nivel,
                                                       m_nomes.nivel == u"P" ? QString() : dado("CDFILIAL"),
                                                       m_nomes.nivel == u"S" ? dado("CDSERVFILI") : QString()},
                                                      QStringLiteral("get_cdsVerificaProdProd")));
    QStringList linhas;
    for (m_verifica->First(); !m_verifica->Eof(); m_verifica->Next())
        linhas << m_verifica->FieldByName(QStringLiteral("TIPO"))->AsString() + QStringLiteral(" - ")
                      + m_verifica->FieldByName(QStringLiteral("RECEITA"))->AsString();
    return linhas.join(u'\n');
}

} // namespace recipe
