#pragma once

#include <QHash>
#include <QVariant>
#include <functional>

namespace framework {
class TMessages;
}

namespace companions {
class GradePratos;
}

// The quantity per person of the import form's dish grid: QUANTIDADE ("Qt. Pessoa", the only
// column the user types into, on marked rows only), SGUNIDADE ("UN") and the hidden PROPORCAO,
// the ratio of the new quantity to the one loaded, by which the server scales the copied recipe.
class QuantidadePessoa {
public:
    // Adds the fields and columns to the grid (before it opens). Message "Prat_dev_marc".
    QuantidadePessoa(companions::GradePratos& grade, const framework::TMessages& messages);

    // A quantity was changed by the user.
    std::function<void()> OnAlterada;

    // A marked row carries a ratio other than 1.
    bool HaProporcao() const;
    // Every ratio back to 1: the copied recipes keep their quantities.
    void DesfazProporcoes();

private:
    void antesEditar();
    void antesGravar();

    companions::GradePratos& m_grade;
    const framework::TMessages& m_messages;
    QHash<int, QVariant> m_carregadas; // the quantity each edited row was loaded with, by bookmark
    QVariant m_inicioEdicao;           // the quantity when the current edit began
};
