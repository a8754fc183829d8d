#pragma once

#include <QObject>
#include <QString>

namespace framework {
class ClientDataSet;
class Query;
class TBtnPesquisa;
class TDBEdit;
class TMessages;
} // namespace framework

namespace recipe {

class ContextoReceita;
class PainelPrato;

// The production product of a level's dish data (standard, branch, service): the finished
// product the dish yields, typed in the code edit or chosen with the lookup button. Leaving the
// code checks it (Vd_ProdProd) and stores the product's internal code with the record, which
// the panel's post sends.
class ProdutoProducao : public QObject {
    Q_OBJECT
public:
    struct Nomes {
        QString codigo, nome, botao; // dbeCdProdPadr, dbeNmProdPadr, btnProdPadr, ...
        QString nivel;               // "P", "F" or "S"
    };
    // The level's names of the production-product controls; empty for the menu type.
    static Nomes nomes(const QString& nivel);
    static void addMessages(framework::TMessages& messages);

    // Works on the panel's record with the controls the form made under those names.
    ProdutoProducao(ContextoReceita& contexto, PainelPrato& painel, Nomes nomes);

    void Vd_ProdProd();
    // Fills cdsProdProd: the product of a code, or every product the dish may yield ("T").
    void GetProdProd(const QString& codigo, const QString& filtro);

private:
    void escolhido(); // the lookup's choice into the record
    void esquece();   // cdsProdProd closed once read
    // The other recipes yielding the product, one per line ("type - recipe"); empty when none.
    QString outrasReceitas(const QString& produto) const;
    QString dado(const char* field) const;  // of the level's record
    QString prato(const char* field) const; // of the current dish
    [[noreturn]] void falha(const char* key, const QStringList& args = {}) const;

    ContextoReceita& m_contexto;
    PainelPrato& m_painel;
    Nomes m_nomes;
    framework::TDBEdit *m_codigo, *m_nome;
    framework::TBtnPesquisa* m_botao;
    framework::ClientDataSet *m_produtos, *m_verifica;
    framework::Query* m_qryProdProd;
    QString m_salvo; // the product the record held before its edit
};

} // namespace recipe
