#pragma once

// Clients changing, deleting and inserting the dishes of one group through a daemon (or a
// balancer in front of several), and the check that every update was applied exactly once or
// refused with its conflict message: for every dish the accepted updates chain from the dish as
// it was to the dish as it is, nothing lost, nothing twice.

#include <QList>
#include <QMap>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <mutex>

namespace dishchanges {

// A dish of the pool changed from one name to another (or to or from being absent).
struct Update {
    QString code;
    QString before;
    QString after;
};

struct Outcome {
    std::mutex lock;
    QList<Update> accepted;
    int refused = 0;
    QStringList failures; // anything but an answer or a conflict's refusal
};

// One client's loop for the given time, through the daemon or balancer at the port, with the
// session's operator (who may change the standard tree).
void client(int id, int port, qint64 milliseconds, Outcome& outcome);

// The names of the pool's dishes in the database, by code.
QMap<QString, QString> dishes(QSqlDatabase db);

// Checks the run with gtest expectations: no failures, some conflicts met, every dish's chain,
// and no recipe left without its dish.
void expectEveryUpdateOnce(QSqlDatabase db, const QMap<QString, QString>& initial, Outcome& outcome, int clients);

} // namespace dishchanges
