#pragma once

#include "filtrosrelatorio.h"

#include <QString>
#include <functional>

class QGroupBox;
class QWidget;

namespace framework {
class Query;
class TMessages;
} // namespace framework

namespace companions {

// The range of dishes of the forms that copy recipes: initial and final dish (last-level codes of
// the dish picture) with their names and searches, over the standard tree and the recipe form's
// branch's own dishes. Its messages: "PratoIni_inf", "PratoFin_inf", "Prato_nc",
// "PratoIni<PratoFin", "Prato" and "N_Prato" of the form's list.
class FaixaPratos {
public:
    FaixaPratos(QWidget* parent, const framework::TMessages& messages);

    QGroupBox* grupo() const { return m_grupo; }
    LinhaCodigo inicial, final;
    framework::Query *qryPesqPrato, *qryValidPrato;

    // A name changed: the range is no longer the one loaded.
    std::function<void()> OnNomeMudou;
    // The final dish was chosen in its search: the dishes may be loaded.
    std::function<void()> AfterPesqFinal;

    // The dish picture's mask on the codes and the search list; at the form's first activation.
    void aplicaMascara();
    // A dish code typed or left: not required an empty code passes. Checks the code against the
    // picture (last level) and the dishes of the standard tree and the recipe form's branch.
    void Vd_Prato(LinhaCodigo& linha, bool required);
    // Both dishes given and valid, the initial not after the final one.
    void Vd_Faixa();
    // The dish search of a code field (F9 in it, or its button); alternative starts the search
    // on the names (F6).
    void pesquisa(LinhaCodigo& linha, bool alternativa);

private:
    void ligaEventos(LinhaCodigo& linha);

    QGroupBox* m_grupo;
    const framework::TMessages& m_messages;
};

} // namespace companions
