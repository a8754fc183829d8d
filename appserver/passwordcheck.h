#pragma once

#include <QSqlDatabase>
#include <QString>

namespace appserver {

// Wrong passwords are counted per operator and client address together (TENTATIVASENHA), for
// every daemon on the database and for daemon logins and supervisor authorisations alike:
// after a few failures in a row that address must wait, twice as long after each further one,
// before a password of that operator is checked again, so that a stranger slows down only his
// own guesses. Each attempt is counted before its password is checked, in the one statement
// that checks the wait, so that guesses sent at once are held like guesses sent one by one; a
// right password clears the count. Counts not used for an hour are swept.
namespace passwords {

inline constexpr int freeAttempts = 3;
inline constexpr int firstWaitSeconds = 2;
inline constexpr int longestWaitSeconds = 300;
// The longest operator code there is (USUARIO.CDOPERADOR): a longer name is no operator.
inline constexpr int operatorCodeWidth = 10;

enum class Outcome { Right, Wrong, Throttled };

struct Check {
    Outcome outcome = Outcome::Wrong;
    int waitSeconds = 0; // Throttled: how long the address must still wait
};

// Checks an active operator's password through the count of the address's failures. An unknown
// operator, an inactive one and a wrong password are the same failure, and take as long: an
// unknown name's password is hashed against a stand-in, so that answers and their times tell
// nothing about who exists.
Check check(QSqlDatabase& db, const QString& operatorCode, const QString& password, const QString& address);

// Deletes the counts of addresses that have not tried for an hour and need not wait.
void sweep(QSqlDatabase& db);

// The texts of the two failures.
QString wrongText();
QString throttledText(const QString& operatorCode, int waitSeconds);

} // namespace passwords
} // namespace appserver
