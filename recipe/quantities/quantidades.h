#pragma once

#include <QString>

namespace recipe {

class ConversaoUnidade;

// The arithmetic between the quantities of an ingredient row. Percentages are stored as
// percent values (10 means 10 %); an unset factor reads as 0.
struct Fatores {
    double cocao = 0;   // cooking gain, above -100
    double limpeza = 0; // cleaning loss, 0..99
    double degelo = 0;  // defrost loss, 0..99
};

// What must be taken (gross) to end up with the net quantity after defrosting, cleaning and
// cooking, and back.
double brutaDaLiquida(double liquida, const Fatores& f);
double liquidaDaBruta(double bruta, const Fatores& f);
// The part of the requisition quantity the nutrients are computed from: what is left after
// cleaning and defrosting.
double baseNutriente(double requisicao, const Fatores& f);

// One ingredient as the unit conversions see it.
struct Ingrediente {
    QString produto;
    QString unidade;        // the recipe unit; empty means the stock unit
    QString unidadeEstoque; // the product's stock unit
};

// Converts ingredient quantities with the form's unit conversions.
class QuantidadeUnidade {
public:
    explicit QuantidadeUnidade(const ConversaoUnidade& conversao) : m_conversao(conversao) {}

    // The quantity of the ingredient (in its recipe unit) in another unit. Without a direct
    // conversion it goes through the product's stock unit; 0 when no way exists.
    double emUnidade(const Ingrediente& ingrediente, const QString& destino, double quantidade) const;

    // The requisition quantity: the gross quantity in the stock unit, to 5 decimals; 0 when the
    // recipe unit cannot be converted to it.
    double requisicao(const Ingrediente& ingrediente, double bruta) const;

private:
    const ConversaoUnidade& m_conversao;
};

} // namespace recipe
