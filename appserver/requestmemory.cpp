#include "requestmemory.h"

#include "errors.h"
#include "framework/data/wirejson.h"
#include "sqlpacket.h"

#include <QDateTime>

namespace appserver {

namespace {

QVariant writtenList(const QList<QPair<int, QVariant>>& written)
{
    QVariantList list;
    for (const auto& [index, value] : written)
        list << QVariant(QVariantList{index, value});
    return list;
}

QList<QPair<int, QVariant>> writtenPairs(const QVariant& list)
{
    QList<QPair<int, QVariant>> written;
    for (const QVariant& pair : list.toList()) {
        const QVariantList p = pair.toList();
        if (p.size() == 2)
            written << qMakePair(p[0].toInt(), p[1]);
    }
    return written;
}

} // namespace

std::optional<RequestMemory::Answer> RequestMemory::claim(QSqlDatabase& db, const Key& key) const
{
    const QSqlQuery claimed =
        execute(db,
                "INSERT INTO REQUISICAOSERVIDOR (CDOPERADOR, IDREQUISICAO, NMMETODO, DTREQUISICAO) VALUES (?, ?, ?, ?) "
                "ON CONFLICT (CDOPERADOR, IDREQUISICAO, NMMETODO) DO NOTHING",
                {key.operatorCode, key.requestId, key.method, QDateTime::currentMSecsSinceEpoch()});
    if (claimed.numRowsAffected() == 1)
        return std::nullopt;
    QSqlQuery earlier = execute(db,
                                "SELECT TXRESULTADO, TXARGUMENTOS FROM REQUISICAOSERVIDOR "
                                "WHERE CDOPERADOR = ? AND IDREQUISICAO = ? AND NMMETODO = ?",
                                {key.operatorCode, key.requestId, key.method});
    if (!earlier.next())
        throw DatabaseFault(QStringLiteral("A requisição %1 não foi registrada nem encontrada.").arg(key.requestId));
    Answer answer{earlier.value(0).toString(), {}};
    const QString written = earlier.value(1).toString();
    if (!written.isEmpty())
        answer.written = writtenPairs(framework::readValueJson(written.toStdString()));
    return answer;
}

void RequestMemory::keep(QSqlDatabase& db, const Key& key, const Answer& answer) const
{
    const QString written =
        answer.written.isEmpty() ? QString() : QString::fromStdString(framework::writeValueJson(writtenList(answer.written)));
    execute(db,
            "UPDATE REQUISICAOSERVIDOR SET TXRESULTADO = ?, TXARGUMENTOS = ? "
            "WHERE CDOPERADOR = ? AND IDREQUISICAO = ? AND NMMETODO = ?",
            {answer.status, written, key.operatorCode, key.requestId, key.method});
}

void RequestMemory::sweep(QSqlDatabase& db) const
{
    execute(db, "DELETE FROM REQUISICAOSERVIDOR WHERE DTREQUISICAO <= ?",
            {QDateTime::currentMSecsSinceEpoch() - m_keepFor.count()});
}

} // namespace appserver
