#pragma once

#include <QStringList>

namespace server {

class Connection;

// The cost types of Cus.rdmCustProd, in list order: their names for a drop-down list, and the
// cost-type number at a position of that list (-1 outside it). A server failure is shown by
// CheckResultServ, which aborts the action.
QStringList ListaTipoCusto(Connection& connection);
int NumeroTipoCusto(Connection& connection, int index);

} // namespace server
