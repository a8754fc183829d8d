#pragma once

#include "appserver/call.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

namespace appserver {

struct TabelaNivel;

// A dish by its key: CDFILAUXPRAT ("P", or the branch that owns a local dish) and CDPRATO.
struct ChavePrato {
    QString dono;
    QString prato;
    friend bool operator==(const ChavePrato&, const ChavePrato&) = default;
};
size_t qHash(const ChavePrato& key, size_t seed = 0);

// The names (NMPRATO) of the registered dishes among these; a dish not registered is absent.
QHash<ChavePrato, QString> nomesPratos(Call& call, const QList<ChavePrato>& pratos);

// The ingredient rows of a recipe in names that hold at every level, as the routines that move
// recipes between levels read and write them. Quantities are those of one person.
namespace ingrediente {
enum Coluna {
    Dono,             // CDFILAUXPRAT
    Prato,            // CDPRATO
    Produto,          // CDPRODUTO
    Quantidade,       // QTPROD: net quantity, recipe unit
    Unidade,          // SGUNIDADE
    GanhoCoccao,      // VRPEFATCOC, %
    AprovCoccao,      // VRPEFATCOCAP, %
    PerdaLimpeza,     // VRPEFATCOR, %
    AprovLimpeza,     // VRPEFATCORAP, %
    TempoPreparo,     // HRTEMPPRE
    QuantidadeEstoque, // QTUNIDDEST: net quantity, stock unit
    Bruta,            // QTBRUTAPRUNR: gross quantity
    Requisicao,       // QTBRUTA: requisition quantity, stock unit
    ProdutoBase,      // IDPRODBASE
    Apresentacao,     // CDAPRERECE
    AprovNutricional, // VRPEFATNUT, %
    QuantidadeNutriente, // QTCALCNUTR
    QuantidadeFixa,   // IDQTDEFIX
    LimiteSeguranca,  // QTLIMSEG (none at the menu-type level)
    TipoRequisicao,   // IDTPREQPROD (idem)
    Complemento,      // QTCOMPLPROD (idem)
    EntregaDireta,    // IDUTCOMPENTDIR (idem)
    PerdaDegelo,      // VRPERCDEGELO, %
    Colunas
};
// The columns above, typed, for packets of ingredient rows.
const framework::FieldDefs& campos();
// The same followed by what the recipe pages show of each product: NMPRODUTO, SGUNIDPROD (its
// stock unit), CDARVPROD and NMAPRERECE (the presentation's name).
const framework::FieldDefs& camposNomeados();
} // namespace ingrediente

// One recipe of a dish: a level ("P" standard, "F" branch, "S" service, "T" menu type of a
// central) with the codes that select its branch, service or menu type. Its tables and columns
// come from a fixed table of the levels; what a client sends only chooses among them and is
// bound as values, never written into a statement.
class LugarReceita {
public:
    enum class Nivel { Padrao, Filial, Servico, TpCard };

    // From the level letter and the codes a client sends (codes the level does not use are
    // ignored, the others normalised to their key width). An unknown letter or a missing code
    // of the level refuses the call; `lado` names the side in that text ("origem", "destino").
    static LugarReceita de(const QString& letra, const QString& filial, const QString& servico,
                           const QString& central, const QString& tipoCard, const QString& lado);

    Nivel nivel() const { return m_nivel; }
    QString letra() const;
    const QString& filial() const { return m_filial; }
    const QString& servico() const { return m_servico; }
    const QString& central() const { return m_central; }
    const QString& tipoCard() const { return m_tipoCard; }
    // The recipe in words, for messages ("receita da filial 0002").
    QString descricao() const;
    // The branch (or central) whose product line limits what the recipe may use; empty for the
    // standard recipe.
    QString filialProdutos() const;
    // Refuses (appserver::Refusal) a branch, service or menu type that is not registered.
    void verificaCadastro(Call& call) const;
    // The products taken out of the line of filialProdutos(): CDPRODUTO -> NMPRODUTO.
    QHash<QString, QString> produtosInativos(Call& call) const;
    friend bool operator==(const LugarReceita&, const LugarReceita&) = default;

    // Statement pieces for queries over the dishes of the level, alias R: the ingredient table,
    // the dish-data table with its quantity per person, and the condition on the level's keys
    // (with '?' for valoresChave()).
    QString tabelaIngredientes() const;
    QString tabelaDados() const;
    QString colunaQuantidadePessoa() const;
    QString condicaoChave(const QString& alias) const;
    const QVariantList& valoresChave() const { return m_valores; }

    // The ingredient rows of the dishes, in the columns of ingrediente::campos(), ordered by
    // dish and product. Columns the level lacks come null.
    framework::DataPacket ingredientes(Call& call, const QList<ChavePrato>& pratos) const;
    // One dish's recipe here as the recipe pages list it, in the columns of
    // ingrediente::camposNomeados(), ordered by product tree code.
    framework::DataPacket receita(Call& call, const ChavePrato& prato) const;
    // The products of one dish's recipe here that are taken out of the line of a branch:
    // CDPRODUTO, CDARVPROD, NMPRODUTO, ordered by product tree code.
    framework::DataPacket produtosInativosEm(Call& call, const ChavePrato& prato, const QString& filial) const;
    // The product of every ingredient row of the dishes here, ordered by dish and product.
    struct ProdutoPrato {
        ChavePrato prato;
        QString produto;
        friend bool operator==(const ProdutoPrato&, const ProdutoPrato&) = default;
        friend size_t qHash(const ProdutoPrato& key, size_t seed = 0) { return qHashMulti(seed, key.prato, key.produto); }
    };
    QList<ProdutoPrato> produtos(Call& call, const QList<ChavePrato>& pratos) const;
    void apagaIngredientes(Call& call, const QList<ChavePrato>& pratos) const;
    // Copies the dishes' rows from origem as they are, within the database (columns this level
    // lacks are left out, those origem lacks stay null), leaving out products taken out of this
    // level's line and, with somenteNovos, the products a dish has here already.
    void copiaIngredientes(Call& call, const LugarReceita& origem, const QList<ChavePrato>& pratos,
                           bool somenteNovos) const;
    // Writes the given rows of a packet in the columns of ingrediente::campos() as this level's
    // rows of their dishes; columns this level lacks are left out.
    void gravaIngredientes(Call& call, const framework::RowStore& linhas, const QVector<int>& quais) const;
    // Replaces one dish's recipe at each of these places of one level by the rows given (the row
    // quais[i] goes to lugares[i]), in few statements: a product a place keeps is changed in
    // place, a new one added, one no longer given removed. Every place must receive rows.
    static void substituiIngredientes(Call& call, const ChavePrato& prato, const framework::RowStore& linhas,
                                      const QVector<int>& quais, const QVector<const LugarReceita*>& lugares);
    // Sets the dish's quantity per person here, creating the level's dish data when it has none.
    void gravaQuantidadePessoa(Call& call, const ChavePrato& prato, double quantidade) const;

private:
    LugarReceita() = default;
    const TabelaNivel& tabela() const;
    QString colunasIngredientes(const QString& alias) const;
    // Inserts rows of several places of one level (the row quais[i] at lugares[i]); with
    // substitui a row whose product the place has already replaces it.
    static void insere(Call& call, const framework::RowStore& linhas, const QVector<int>& quais,
                       const QVector<const LugarReceita*>& lugares, bool substitui);

    Nivel m_nivel = Nivel::Padrao;
    QString m_filial, m_servico, m_central, m_tipoCard;
    QVariantList m_valores; // values of the level's key columns, in their order
};

} // namespace appserver
