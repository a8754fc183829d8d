#pragma once

#include <QString>

class TfrmCustoPrato;

// The dish cost query's unit: the creation parameters, kept for the life of the form, and the form.
namespace Cli_pla01305 {

// An empty text is an absent value.
struct Parametros {
    QString cdCentral, nmCentral;
    QString cdTpCard, nmTpCard;
    QString cdFilial, nmFilial; // the recipe's branch
    QString cdFilialRef;        // the branch whose prices and processing date apply
    QString cdServico, nmServico;
    QString cdPrato, nmPrato;
    QString cdFilAuxPrat; // "P" for a standard dish, else the branch owning a local dish
};

extern Parametros parametros;
extern TfrmCustoPrato* frmCustoPrato; // the form while it is open

// Stores the parameters, creates the form and shows it modally until it closes.
void CriaCustoPrato(const Parametros& valores);

} // namespace Cli_pla01305
