#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>

class QWidget;

namespace framework {
class ClientDataSet;
class DataSource;
class TMaskEdit;
} // namespace framework

namespace recipe {

class ContextoReceita;
class Enviador;

// The names every level of numbered dish records has (preparation modes, photos).
struct NomesNumerados {
    char letra;          // 'P' standard, 'F' branch, 'S' service
    const char* aba;     // the sub-page
    const char* fonte;   // its data source
    const char* dataSet; // the dataset, also in the progress texts of its calls
    QStringList escopo;  // CDFILIAL, CDSERVFILI where the level has them
    const char* numero;  // the record's two-digit number
    const char* ativo;   // "1" active, "2" deactivated
    const char* carga;   // the level's loader
    const char* atualiza; // the level's update
};

// A selector of a level's sub-page: the code edit and the name edit shown beside it.
struct SeletorNivel {
    framework::TMaskEdit* codigo;
    const char* nome; // edtNmFiliPrep, ...
};

// One level's sub-page of numbered records of the current dish: the dataset keyed by the dish
// and the level's selectors (branch, service), loading and filtering, numbering through the
// server, activation (one active record per dish and level) and sending each change at once.
// The preparation modes and the photos add their control and their own rules.
class PaginaNumerada : public QObject {
    Q_OBJECT
public:
    QWidget* aba() const { return m_aba; }
    framework::ClientDataSet* dataSet() const { return m_dataSet; }
    framework::DataSource* fonte() const { return m_fonte; }
    // The header of the level's selectors (none on the standard level).
    QWidget* cabecalho() const;

    // The dish and selector values the level's rows hold, in key order.
    QStringList chave() const;
    bool pertenceAoPrato() const; // the current row is of the current dish (and selectors)
    bool editando() const;
    // Loads the level's records unless they are being edited, hold a change the server refused,
    // or already belong to the dish (no call without a dish, branch or service), then filters
    // the dataset to them.
    void carrega();
    void filtra();
    // The toolbar's commands on the sub-page. Confirmar posts the record being edited, or sends
    // again a change the server refused.
    virtual void incluir() = 0;
    virtual void alterar() = 0;
    virtual void excluir() = 0;
    virtual void cancelar() = 0;
    void confirmar();

protected:
    // The derived page makes the dataset and hands it over with useDataSet.
    PaginaNumerada(ContextoReceita& contexto, NomesNumerados nomes, Enviador& enviador, QList<SeletorNivel> seletores);
    void useDataSet(framework::ClientDataSet* dataSet);

    // The loader's arguments for a key; by default the key itself.
    virtual QVariantList argumentosCarga(const QStringList& key) const;
    QStringList nomesChave() const;
    QString origemPrato() const; // CDFILAUXPRAT of the current dish

    // Before an insertion, as leaving them does: the branch padded and checked, then the
    // service; both required.
    void validaSeletores() const;
    // OnNewRecord: the key, the next number from the server (the insertion is given up
    // without a word once the numbers are used up) and the flag chosen before the insert.
    void numeraNovo(const QString& method, const QString& packet);
    // The flag a record inserted now gets: active when the level has none yet.
    void escolheFlagNovo();
    void envia();
    void defineAtivo(const QString& flag);
    // There is a visible record activation can change (not in query mode).
    bool podeAtivar() const;
    // The visible record becomes the active one; the former active one is deactivated first.
    void ativaVisivel();
    // Cancelar after the question: the edit and every unsent change are given up; false when
    // the user said no.
    bool descarta();
    [[noreturn]] void falha(const char* key, QWidget* control = nullptr) const;

    ContextoReceita& m_contexto;
    Enviador& m_enviador;
    QList<SeletorNivel> m_seletores;
    QWidget* m_aba;
    framework::ClientDataSet* m_dataSet = nullptr;
    framework::DataSource* m_fonte;

private:
    NomesNumerados m_nomes;
    QString m_flagNovo; // the flag of the record being inserted, set before it exists
};

} // namespace recipe
