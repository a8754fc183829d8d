#pragma once

#include <QVariant>

class QWidget;

namespace framework {
class ClientDataSet;
class DataSource;
class TDBGrid;
struct TCellPaint;
} // namespace framework

// The recipe of the current services row, as it is or as the row's origin and percentage would
// make it: cdsReceitas shown in dbgReceitas, one row per product with the columns of the recipe
// pages, read only.
class ReceitaPrevia {
public:
    explicit ReceitaPrevia(QWidget* parent);
    ReceitaPrevia(const ReceitaPrevia&) = delete;
    ReceitaPrevia& operator=(const ReceitaPrevia&) = delete;

    framework::ClientDataSet* cdsReceitas;
    framework::DataSource* dtsReceitas;
    framework::TDBGrid* dbgReceitas;

    // Open empty, the product code picture's mask on its code; at the form's first activation.
    void Abre();
    // A server's answer replaces the rows (a failure is shown and ends the action).
    void Carrega(const QVariant& resultado);
    void Esvazia();
    bool Vazia() const;
    // Whether some product would have no net or no requisition quantity; the cursor is left on
    // the first row.
    bool Zerada();

private:
    void calcula();
    void desenha(framework::TCellPaint& cell) const;
};
