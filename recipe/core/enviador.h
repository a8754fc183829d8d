#pragma once

#include <QString>
#include <QVariantList>
#include <functional>

namespace framework {
class ClientDataSet;
}
namespace server {
class Connection;
}

namespace recipe {

// The one way the recipe form sends a dataset's changes: post what is being typed, send the
// change log to the dataset's update method, merge it when the server accepts it. A refusal or a
// failed call leaves the log pending and the user's values where they are, so that the next
// Confirmar sends it again; the server's text is shown and the action ends (framework::Abort).
class Enviador {
public:
    explicit Enviador(server::Connection& connection) : m_connection(connection) {}

    struct Envio {
        QString method;        // UpdProdPrat, ...
        QString progressKey;   // upd_cdsProdPrat, ...
        QVariantList extra;    // arguments after the change log (the null-field list of the dish data)
        // Runs when the change stays pending, before the failure goes on (a refused new dish record
        // goes back to its insertion).
        std::function<void()> aoRecusar;
    };

    // False when nothing was pending.
    bool envia(framework::ClientDataSet& dataSet, const Envio& envio) const;

private:
    server::Connection& m_connection;
};

} // namespace recipe
