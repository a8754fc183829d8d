#pragma once

namespace framework {
class RowStore;
}

namespace appserver {

// A recipe brought to another size: by the change of a dish's quantity per person when it is
// copied to another level, or by a service's percentage of an origin recipe. Every quantity is
// multiplied by the factor and rounded as the recipe pages round (5 decimals); the percentages
// (cooking gain and yield, cleaning loss and yield, nutritional yield, defrost loss) stay as they
// are, rounded to 2 decimals. Works on rows in the columns of ingrediente::campos()
// (lugarreceita.h), so that the copy, the replication and the percentage preview and apply all
// scale with this one piece.
class EscalaReceita {
public:
    // Refuses (appserver::Refusal) a factor that is not a positive number.
    explicit EscalaReceita(double fator);
    // The factor of a percentage of the origin recipe (100 keeps it as it is), the percentage
    // taken to 2 decimals as percentages are stored.
    static EscalaReceita percentual(double percentual);

    double fator() const { return m_fator; }
    // A quantity times the factor, rounded to 5 decimals.
    double quantidade(double valor) const;
    // Scales one row of ingredients in place: net, stock-unit, gross, requisition and nutrient
    // quantities; a null stays null.
    void aplica(framework::RowStore& linhas, int linha) const;

private:
    double m_fator;
};

} // namespace appserver
