#pragma once

#include <QString>

namespace db {

// Passwords are stored as hex SHA-256 of a per-user random salt followed by the password.
QString newSalt();
QString passwordHash(const QString& salt, const QString& password);

} // namespace db
