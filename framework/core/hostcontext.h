#pragma once

#include "framework/core/dbpicture.h"

#include <QDate>
#include <QMap>
#include <QString>
#include <QVariantList>
#include <functional>

class QWidget;

namespace framework {

// The values the host program sets for the modules it loads: who works, on which branch and
// date, where the application server is, the code pictures and how to open other modules.
class HostContext {
public:
    bool ModuFili = false;      // the host runs as a branch module
    QString Operador;           // operator code
    QString FiliProc;           // branch being processed
    QDate DataProc;             // processing date
    QString WebURL;             // application server host
    int WebPort = 0;            // application server port
    QString ModuloAtiv;         // one-letter code of the active module
    QString databaseConnection; // QSqlDatabase connection name of the host's database
    QMap<int, QString> pictures; // code pictures by kind: 0 product, 1 dish
    QWidget* mainWindow = nullptr; // the host's main form: owner of module windows, holder of msgPadrao
    std::function<void(const QString& module, const QVariantList& args)> loadModule;

    QString DBPict(int kind) const;       // empty when the host has no picture of that kind
    TDBPicture DBPictObj(int kind) const;
    // Opens another module of the host; throws framework::Error when the host cannot.
    void LoadBPL(const QString& module, const QVariantList& args = {}) const;
    void reset(); // back to the values of a fresh context
};

// The one context of the running host.
HostContext& hostContext();

} // namespace framework
