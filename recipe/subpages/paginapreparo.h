#pragma once

#include "paginanumerada.h"

#include <QByteArray>

class QKeyEvent;
class QWidget;

namespace framework {
class TDBRichEdit;
class TMaskEdit;
} // namespace framework

namespace recipe {

// The names of one level of the preparation modes, beyond those of every numbered level.
struct CamposPreparo : NomesNumerados {
    const char* editor;      // drePadrao, ...
    const char* texto;       // TXPREP...
    const char* responsavel; // NMRPREP...
    const char* rotulo;      // "Padrão", "Filial", "Serviço" in the progress texts
};

// One sub-page of the preparation modes (standard, branch or service): its dataset of the dish's
// numbered modes, the rich-text editor over the visible mode and the rules of the level. The
// branch and service levels are scoped by the selectors given (empty for the standard level).
class PaginaPreparo : public PaginaNumerada {
    Q_OBJECT
public:
    PaginaPreparo(ContextoReceita& contexto, const CamposPreparo& campos, Enviador& enviador,
                  QList<SeletorNivel> seletores);

    const CamposPreparo& campos() const { return m_campos; }
    framework::TDBRichEdit* editor() const { return m_editor; }

    bool desativado() const; // the visible mode is deactivated (flag "2")
    // Puts the dataset into edit for a change typed or formatted in the editor.
    void iniciaEdicao();

    // The standard level's limits for operation "I", "A" or "E": no standard mode for a local
    // dish, and none changed in a branch module. The other levels have none.
    void Vd_TxPreparo(const QString& operation) const;
    // A mode's text: none fails with "TXPREPARO_EMPTY", the editor taking the focus.
    void Vd_Preparo(const QString& text) const;

    // Toolbar rules of the page table.
    void incluir() override;
    void alterar() override;
    void excluir() override;
    void cancelar() override;

    // Activation: the visible mode becomes the active one (the former active one is deactivated),
    // or is deactivated. Each change is sent at once.
    void ativa();
    void desativa();
    // An imported file into the visible mode: shown as the editor reads it (RTF, or anything
    // else as plain text) and kept as the RTF the field always holds.
    void importaArquivo(const QByteArray& bytes);
    // The text brought from another dish: replaces the current mode's text, or creates a mode
    // in an empty level; kept as the editor's rich text, as a file is.
    void importaTexto(const QByteArray& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void criaDataSet();
    void conecta();
    void antesDeIncluir();
    void antesDePostar();
    // Key rules of the editor; true when the key is refused.
    bool recusaTecla(const QKeyEvent& key);

    CamposPreparo m_campos;
    framework::TDBRichEdit* m_editor;
};

} // namespace recipe
