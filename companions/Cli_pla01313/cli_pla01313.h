#pragma once

class TfrmReplicaPorServico;

// The unit of the form that replicates recipes to many services at once.
namespace Cli_pla01313 {

extern TfrmReplicaPorServico* frmReplicaPorServico; // the form while it is open
extern bool boIdCriado;                             // the form exists (set at creation, cleared when it closes)
// The last replication left out dishes (products out of a service's branch line): the form
// named them, and the routine did not end wholly successful.
extern bool boPratosNaoProcessados;

// Opens the form modally, creating it when it does not exist. Gives mrOk (1) after a
// replication, mrCancel (2) when the user closed the form without one.
int CriaReplicaPorServico();

} // namespace Cli_pla01313
