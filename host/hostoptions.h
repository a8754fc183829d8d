#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace host {

// What the user (or a script) chooses on the command line.
struct HostOptions {
    QString branch = "0001";     // FiliProc: the branch being processed
    QString operatorCode = "NUTRI"; // Operador
    QString module = "8";        // ModuloAtiv: '8' and 'L' group branches under centrals
    bool branchModule = false;   // ModuFili
    QDate date = QDate::currentDate(); // DataProc
    QString serverHost;          // appserver address; empty: server objects in process
    int serverPort = 0;
    QString password;            // the operator's password at the appserver; empty: asked at start
    QString trustedCertificates; // PEM file trusted for an https:// appserver (its own certificate)
    QString database;            // SQLite file or PostgreSQL connection string; empty: the demo file
    QString package;             // Pkg_pla01300 library; empty: looked for beside the build
    QString reports;             // folder of the report definitions; empty: "reports" beside the program
    QString open;                // creation function to call at start (CriaReceita, IniProc...)
    QString screenshot;          // render the first window to this PNG and exit
    QString dish;                // with screenshot: the dish chosen in the form's tree first
    QString page;                // with screenshot: the objectName of the page shown first
};

// Reads the options; on a malformed one gives false and the reason in error.
bool parseHostOptions(const QStringList& arguments, HostOptions& options, QString& error);

} // namespace host
