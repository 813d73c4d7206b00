#include "passwordhasher.h"

#include <sodium.h>

#include <QDebug>

namespace {

constexpr unsigned long long OperationsLimit = 2;
constexpr size_t MemoryLimit = 19 * 1024 * 1024;

bool sodiumReady()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

} // namespace

namespace PasswordHasher {

QByteArray hash(const QString &digest)
{
    if (!sodiumReady())
        return {};
    const QByteArray secret = digest.toUtf8();
    char encoded[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str_alg(encoded, secret.constData(), quint64(secret.size()), OperationsLimit, MemoryLimit,
                              crypto_pwhash_ALG_ARGON2ID13)
        != 0) {
        qWarning() << "hashing a password failed (out of memory?)";
        return {};
    }
    return QByteArray(encoded);
}

bool verify(const QByteArray &storedHash, const QString &digest)
{
    if (!sodiumReady() || storedHash.isEmpty() || size_t(storedHash.size()) >= crypto_pwhash_STRBYTES)
        return false;
    const QByteArray secret = digest.toUtf8();
    // QByteArray keeps a terminating zero, as libsodium expects.
    return crypto_pwhash_str_verify(storedHash.constData(), secret.constData(), quint64(secret.size())) == 0;
}

bool verifyWithoutAccount(const QString &digest)
{
    // Made once, on first use, from a random secret no digest can match.
    static const QByteArray unreachable = [] {
        QByteArray secret(32, '\0');
        if (sodiumReady())
            randombytes_buf(secret.data(), size_t(secret.size()));
        return hash(QString::fromLatin1(secret.toHex()));
    }();
    verify(unreachable, digest);
    return false;
}

} // namespace PasswordHasher
