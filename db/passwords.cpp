#include "passwords.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QStringList>
#include <openssl/crypto.h>
#include <openssl/evp.h>

namespace db {

namespace {

const QString modern = QStringLiteral("pbkdf2-sha256");
const QString wrapped = QStringLiteral("pbkdf2-sha256-legado");

QByteArray pbkdf2(const QByteArray& secret, const QString& salt, int iterations)
{
    const QByteArray saltBytes = salt.toUtf8();
    QByteArray digest(32, Qt::Uninitialized);
    PKCS5_PBKDF2_HMAC(secret.constData(), int(secret.size()), reinterpret_cast<const unsigned char*>(saltBytes.constData()),
                      int(saltBytes.size()), iterations, EVP_sha256(), int(digest.size()),
                      reinterpret_cast<unsigned char*>(digest.data()));
    return digest;
}

QString format(const QString& scheme, int iterations, const QByteArray& digest)
{
    return QStringLiteral("%1$%2$%3").arg(scheme).arg(iterations).arg(QString::fromLatin1(digest.toHex()));
}

QString legacyDigest(const QString& salt, const QString& password)
{
    return QString::fromLatin1(QCryptographicHash::hash((salt + password).toUtf8(), QCryptographicHash::Sha256).toHex());
}

} // namespace

QString newSalt()
{
    QByteArray bytes(16, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
    return QString::fromLatin1(bytes.toHex());
}

QString passwordHash(const QString& salt, const QString& password, int iterations)
{
    return format(modern, iterations, pbkdf2(password.toUtf8(), salt, iterations));
}

QString wrapLegacyHash(const QString& salt, const QString& legacyHex, int iterations)
{
    return format(wrapped, iterations, pbkdf2(legacyHex.toLatin1(), salt, iterations));
}

bool isLegacyHash(const QString& stored)
{
    return !stored.contains(QLatin1Char('$'));
}

bool passwordMatches(const QString& salt, const QString& password, const QString& stored)
{
    const QStringList parts = stored.split(QLatin1Char('$'));
    if (parts.size() != 3)
        return false;
    bool ok = false;
    const int iterations = parts[1].toInt(&ok);
    if (!ok || iterations < 1 || iterations > 10'000'000)
        return false;
    QByteArray secret;
    if (parts[0] == modern)
        secret = password.toUtf8();
    else if (parts[0] == wrapped)
        secret = legacyDigest(salt, password).toLatin1();
    else
        return false;
    const QByteArray expected = QByteArray::fromHex(parts[2].toLatin1());
    const QByteArray actual = pbkdf2(secret, salt, iterations);
    return expected.size() == actual.size() && CRYPTO_memcmp(expected.constData(), actual.constData(), size_t(actual.size())) == 0;
}

} // namespace db
