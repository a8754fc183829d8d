#pragma once

#include "framework/abort.h"

namespace appserver {

// A call refused for a reason the user can act on (conflict, invalid data, missing argument).
// Its text reaches the client unchanged: as the status of an update, as the fault of a query.
// A detail (what the database said) goes to the server's log only.
class Refusal : public framework::Error {
public:
    explicit Refusal(const QString& text, const QString& detail = {}) : framework::Error(text), m_detail(detail) {}
    const QString& detail() const { return m_detail; }

private:
    QString m_detail;
};

// A call refused because its operator may not make it (a right or an authorisation he lacks,
// another operator named in his place).
class NotAllowed : public Refusal {
public:
    using Refusal::Refusal;
};

// The database failed (a statement it refused, a connection it lost, a file or server it cannot
// open). Its own text names tables, files and hosts: that detail goes to the server's log, and
// the client reads a general text.
class DatabaseFault : public framework::Error {
public:
    explicit DatabaseFault(const QString& detail) : framework::Error(publicText()), m_detail(detail) {}
    const QString& detail() const { return m_detail; }
    static QString publicText()
    {
        return QStringLiteral("O banco de dados do servidor falhou ao atender a chamada; o motivo ficou registrado no "
                              "servidor.");
    }

private:
    QString m_detail;
};

} // namespace appserver
