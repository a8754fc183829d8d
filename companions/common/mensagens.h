#pragma once

namespace framework {
class TMessages;
}

namespace companions {

// The message lists the forms that copy recipes share, added to a form's own list.

// The recipe review's list: dish range, origin and destination levels, the grid of dishes
// ("PratoIni_inf", "Prato_nc", "TPCARD_NCAD", "P", "process", ...).
void mensagensRevisao(framework::TMessages& messages);
// The services filter's and grid's: "GrupoNCad", "GrupoServ", "NHaGrupo", "PercNeg", and
// "Servico_Fatu_Ambu" for an origin service that serves no meals.
void mensagensServicos(framework::TMessages& messages);

} // namespace companions
