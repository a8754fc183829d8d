#pragma once

#include <QString>

namespace db {

// Passwords are stored as PBKDF2-HMAC-SHA256 of the password with a per-user random salt, the
// iteration count kept beside the digest so that it can grow: "pbkdf2-sha256$<n>$<hex>".
// Hashes of databases made before (hex SHA-256 of salt and password) were wrapped by the
// migration of version 3 as "pbkdf2-sha256-legado$<n>$<hex>": PBKDF2 over the old digest.
inline constexpr int passwordIterations = 100000;

QString newSalt();
QString passwordHash(const QString& salt, const QString& password, int iterations = passwordIterations);
// The old digest wrapped in PBKDF2, for rows that only hold the old digest.
QString wrapLegacyHash(const QString& salt, const QString& legacyHex, int iterations = passwordIterations);
// Whether the password gives the stored hash (of either form); compared in constant time.
bool passwordMatches(const QString& salt, const QString& password, const QString& stored);
// Whether a stored value is the old plain digest, not yet wrapped.
bool isLegacyHash(const QString& stored);

} // namespace db
