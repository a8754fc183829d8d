#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class QKeyEvent;
class QWidget;
class TfrmReceitaPadrao;

namespace framework {
class ClientDataSet;
class DataSource;
class TDBRichEdit;
class TMaskEdit;
} // namespace framework

namespace recipe {

class Enviador;

// The names of one level of the preparation modes.
struct CamposPreparo {
    char letra;              // 'P' standard, 'F' branch, 'S' service
    const char* aba;         // tshPrepPad, ...
    const char* dataSet;     // cdsPrepPad, ...
    const char* fonte;       // dtsPadraoText, ...
    const char* editor;      // drePadrao, ...
    QStringList escopo;      // CDFILIAL, CDSERVFILI where the level has them
    const char* numero;      // NRPREP...
    const char* ativo;       // IDPREP...: "1" active, "2" deactivated
    const char* texto;       // TXPREP...
    const char* responsavel; // NMRPREP...
    const char* carga;       // GetPrepPad, ...
    const char* atualiza;    // UpdPrepPad, ...
    const char* rotulo;      // "Padrão", "Filial", "Serviço" in the progress texts
};

// One sub-page of the preparation modes (standard, branch or service): its dataset of the dish's
// numbered modes, the rich-text editor over the visible mode and the rules of the level. The
// branch and service levels are scoped by the selectors given (empty for the standard level).
class PaginaPreparo : public QObject {
    Q_OBJECT
public:
    PaginaPreparo(TfrmReceitaPadrao& form, const CamposPreparo& campos, Enviador& enviador,
                  QList<framework::TMaskEdit*> seletores);

    const CamposPreparo& campos() const { return m_campos; }
    QWidget* aba() const { return m_aba; }
    framework::ClientDataSet* dataSet() const { return m_dataSet; }
    framework::DataSource* fonte() const { return m_fonte; }
    framework::TDBRichEdit* editor() const { return m_editor; }

    // The dish and selector values the level's rows must hold, in key order.
    QStringList chave() const;
    // The current row is of the current dish (and selectors).
    bool pertenceAoPrato() const;
    // Loads the level's modes from the server unless they are being edited or already belong to
    // the dish, then filters the dataset to the dish and shows the current mode.
    void carrega();
    void filtra();

    bool editando() const;
    bool desativado() const; // the visible mode is deactivated (flag "2")
    // Puts the dataset into edit for a change typed or formatted in the editor.
    void iniciaEdicao();

    // The standard level's limits for operation "I", "A" or "E": no standard mode for a local
    // dish, and none changed in a branch module. The other levels have none.
    void Vd_TxPreparo(const QString& operation) const;

    // Toolbar rules of the page table.
    void incluir();
    void alterar();
    void excluir();
    void confirmar();
    void cancelar();

    // Activation: the visible mode becomes the active one (the former active one is deactivated),
    // or is deactivated. Each change is sent at once.
    void ativa();
    void desativa();
    // The text of an imported file, as it is, into the visible mode.
    void importaArquivo(const QByteArray& bytes);
    // The text brought from another dish: replaces the current mode's text, or creates a mode
    // in an empty level.
    void importaTexto(const QByteArray& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void criaDataSet();
    void conecta();
    void antesDeIncluir();
    void novoRegistro();
    void antesDePostar();
    void envia();
    void defineAtivo(const QString& flag);
    // Key rules of the editor; true when the key is refused.
    bool recusaTecla(const QKeyEvent& key);
    [[noreturn]] void falha(const char* key, QWidget* control = nullptr) const;

    TfrmReceitaPadrao& m_form;
    CamposPreparo m_campos;
    Enviador& m_enviador;
    QList<framework::TMaskEdit*> m_seletores;
    QWidget* m_aba;
    framework::ClientDataSet* m_dataSet;
    framework::DataSource* m_fonte;
    framework::TDBRichEdit* m_editor;
    QString m_flagNovo; // the flag of the mode being inserted, set before it exists
};

} // namespace recipe
