#pragma once

class TfrmReceProd;

// The unit of the recipes-by-product report. It exports no creation function: the recipe form
// opens the form from its menu.
namespace Cli_pla05500 {

extern TfrmReceProd* frmReceProd; // the form while it is open

// Creates the form, shows it modally and gives the modal result.
int MostraReceProd();

} // namespace Cli_pla05500
