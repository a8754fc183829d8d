#include "trocaingrediente.h"
#include "paginareceita.h"

#include "recipe/core/contextoreceita.h"
#include "recipe/core/levelfields.h"
#include "recipe/core/respostaservidor.h"

#include "framework/abort.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/ui/messages.h"
#include "framework/ui/search.h"
#include "server/connection.h"

#include <QWidget>

namespace recipe {

using framework::ClientDataSet;
using framework::FieldType;

namespace {

QString texto(const ClientDataSet& dataSet, const char* field)
{
    return dataSet.FieldByName(QString::fromLatin1(field))->AsString();
}

} // namespace

TrocaIngrediente::TrocaIngrediente(ContextoReceita& contexto, PaginaReceita& pagina, QString duplicado,
                                   std::function<Escopo()> escopo)
    : m_contexto(contexto), m_pagina(pagina), m_duplicado(std::move(duplicado)), m_escopo(std::move(escopo))
{
    // One list of optional products serves every level.
    const QString name = QStringLiteral("cdsPesqProdOpc");
    m_opcionais = contexto.janela().findChild<ClientDataSet*>(name, Qt::FindDirectChildrenOnly);
    if (m_opcionais)
        return;
    m_opcionais = new ClientDataSet(&contexto.janela(), name);
    const struct {
        const char* name;
        FieldType type;
        int size;
        const char* label;
        int width;
    } campos[] = {{"CDARVPROD", FieldType::String, 20, "Código", 15},
                  {"NMPRODUTO", FieldType::String, 50, "Nome", 40},
                  {"SGUNIDADE", FieldType::String, 10, "UN", 5},
                  {"CDPRODUTO", FieldType::String, 10, nullptr, 0},
                  {"CDPRODESTO", FieldType::String, 10, nullptr, 0},
                  {"VRPEFATOCORR", FieldType::Float, 0, nullptr, 0}};
    for (const auto& c : campos) {
        framework::Field* f = m_opcionais->AddField(QString::fromLatin1(c.name), c.type, c.size);
        if (c.label) {
            f->setDisplayLabel(QString::fromUtf8(c.label));
            f->setDisplayWidth(c.width);
        } else {
            f->setVisible(false);
        }
    }
    auto* fonte = new framework::DataSource(&contexto.janela(), QStringLiteral("dtsPesqProdOpc"));
    fonte->setDataSet(m_opcionais);
}

void TrocaIngrediente::addMessages(ContextoReceita& contexto)
{
    // The checks' texts are the ingredient pages' own (PROD_INATIVO, PROD_N_ESTQ, ReceLoc_inf, ...).
    contexto.mensagens().Add({
        {"PRODOPC", "Produto Opcional"},
        {"NAOHAPRODOPC", "Não há Produto Opcional cadastrado."},
        {"get_cdsPesqProdOpc", "Carregando produtos opcionais..."},
        {"pro_TrocaProduto", "Trocando o ingrediente..."},
    });
}

void TrocaIngrediente::troca()
{
    ClientDataSet& lista = m_pagina.lista();
    if (!lista.Active() || lista.IsEmpty() || texto(lista, "CDARVPROD").trimmed().isEmpty())
        return;
    // The answer takes the list's place: what the user posted and did not confirm goes first.
    if (lista.ChangeCount() > 0)
        m_contexto.confirma();
    if (lista.ChangeCount() > 0)
        return;
    if (!escolhe())
        return;
    valida();

    const LevelFields& nivel = m_pagina.nivel();
    const Escopo e = m_escopo();
    const bool tpCard = nivel.level == Level::TpCard;
    const ClientDataSet& pratos = m_contexto.pratos();
    QVariantList args{texto(pratos, "CDPRATO"),
                      m_contexto.grupo(texto(pratos, "CDPRATO")),
                      e.filial,
                      nivel.level == Level::Servico ? e.servico : QString(),
                      texto(lista, "CDPRODUTO"),
                      texto(*m_opcionais, "CDPRODUTO"),
                      texto(*m_opcionais, "SGUNIDADE"),
                      m_opcionais->FieldByName(QStringLiteral("VRPEFATOCORR"))->AsFloat(),
                      tpCard ? QStringLiteral("S") : QStringLiteral("N"),
                      tpCard ? e.central : QString(),
                      tpCard ? e.tipoCardapio : QString()};
    const QString escolhido = texto(*m_opcionais, "CDPRODUTO");
    loadPacket(&lista, m_contexto.servidor().call(QStringLiteral("TrocaProduto"), args, QStringLiteral("pro_TrocaProduto")));
    filtraPeloPrato(lista, pratos);
    lista.Locate(QStringLiteral("CDPRODUTO"), escolhido);
    m_contexto.janela().update();
}

bool TrocaIngrediente::escolhe()
{
    ClientDataSet& lista = m_pagina.lista();
    m_opcionais->setFiltered(false);
    loadPacket(m_opcionais, m_contexto.servidor().call(QStringLiteral("PesqProdOpc"),
                                                       {texto(lista, "CDARVPROD").trimmed(),
                                                        QString::number(framework::hostContext().DBPictObj(0).GetTtNiveis())},
                                                       QStringLiteral("get_cdsPesqProdOpc")));
    // Only a product that is its own stock product can be an ingredient.
    m_opcionais->setFilter(QStringLiteral("CDPRODUTO = CDPRODESTO"));
    m_opcionais->setFiltered(true);
    const framework::TMessages& messages = m_contexto.mensagens();
    return framework::Pesquisar(*m_opcionais, messages.Msg(QStringLiteral("PRODOPC")) + u'|'
                                                  + messages.Msg(QStringLiteral("NAOHAPRODOPC")));
}

void TrocaIngrediente::valida() const
{
    const framework::TMessages& messages = m_contexto.mensagens();
    const auto recusa = [&messages](const QString& key) {
        messages.ShowMsg(key, framework::mtError, framework::mbOK);
        throw framework::Abort();
    };
    const Escopo e = m_escopo();
    const QString produto = texto(*m_opcionais, "CDPRODUTO");
    QVariantList status{e.filialStatus, QString::number(framework::hostContext().DBPictObj(0).GetTtNiveis()),
                        texto(*m_opcionais, "CDARVPROD")};
    if (m_contexto.servidor().call(QStringLiteral("Verif_Status_Prod"), status).toString() == u"PROD_INATIVO")
        recusa(QStringLiteral("PROD_INATIVO"));
    QVariantList estoque{e.filialStatus, produto};
    if (m_contexto.servidor().call(QStringLiteral("GetVerifProd"), estoque).toBool())
        recusa(QStringLiteral("PROD_N_ESTQ"));
    // The dish's rows as the list holds them, posted or not.
    ClientDataSet copia(nullptr, QStringLiteral("cdsVerifTroca"));
    copia.SetData(m_pagina.lista().Data());
    const ClientDataSet& pratos = m_contexto.pratos();
    if (copia.Locate(QStringLiteral("CDFILAUXPRAT;CDPRATO;CDPRODUTO"),
                     QVariantList{texto(pratos, "CDFILAUXPRAT"), texto(pratos, "CDPRATO"), produto}))
        recusa(m_duplicado);
}

} // namespace recipe
