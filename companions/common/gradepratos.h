#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace framework {
class ClientDataSet;
class DataSource;
class TDBGrid;
class TMessages;
struct TCellPaint;
} // namespace framework

namespace server {
class Connection;
}

namespace companions {

struct CodigosNivel;

// The dishes of a range that have a recipe at an origin, loaded from GetPratos
// (Pla01309.rdmImpPrato) into cdsGridPratos and shown in dbgPadrao, where the user marks the
// ones to work on: a click or the space bar on the mark column toggles a row, a click on the
// column's title marks or unmarks all. Rows cannot be inserted or deleted.
//
// Columns: IDMARCADO (mark), CDFILAUXPRAT ("Árvore": the standard tree or the owning branch),
// CDPRATO ("Código", dish picture mask), NMPRATO ("Nome"). A form adds its own fields and
// columns before the first load. Messages of the form's list: "P" (the standard tree's name)
// and "process" (progress while loading).
class GradePratos {
public:
    GradePratos(QWidget* parent, const framework::TMessages& messages);
    GradePratos(const GradePratos&) = delete;
    GradePratos& operator=(const GradePratos&) = delete;

    framework::ClientDataSet* cdsGridPratos;
    framework::DataSource* dtsGridPratos;
    framework::TDBGrid* dbgPadrao;

    // A row's mark was toggled by the user (true: now marked).
    std::function<void(bool marcado)> OnMarcaLinha;
    // The user clicked the mark column's title with rows present; the form decides with
    // MarcaTodos whether that marks or unmarks.
    std::function<void()> OnTituloMarca;

    // The dish picture's mask on the code column, and the grid open empty; after the form has
    // added its fields.
    void Abre();
    // Loads the dishes of the range at the origin (the recipe form's branch decides which local
    // dishes are seen), replacing what the grid held.
    void Carrega(server::Connection& netImpPrato, const QString& pratoInicial, const QString& pratoFinal,
                 const CodigosNivel& origem);
    // Drops pending changes and every row.
    void Esvazia();
    // Takes back every change since the grid was loaded (marks and the form's own columns).
    void DesfazAlteracoes();

    bool Vazia() const;
    // Rows marked "S" now, counted on the rows themselves.
    int Marcados() const;
    // Toggles the current row: "N" becomes "S", anything else "N". Gives the new state.
    bool AlternaMarca();
    // Marks or unmarks every row, staying on the current dish.
    void MarcaTodos(bool marcar);
    // Runs change on every row in edit, posting each, with the display frozen; the cursor comes
    // back to the dish it was on. While it runs EmRotina() is true.
    void AlteraTodas(const std::function<void(framework::ClientDataSet&)>& change);
    // An edit made by the form's routines (marks, all rows), not typed by the user.
    bool EmRotina() const { return m_emRotina; }
    // The mark column is clicked, not typed into: editing is on in every other column.
    void AplicaRegraColuna();

private:
    void desenha(framework::TCellPaint& cell) const;
    bool colunaMarca() const;

    const framework::TMessages& m_messages;
    bool m_emRotina = false;
};

} // namespace companions
