#pragma once

#include <QByteArray>
#include <QString>

// Passwords arrive as their hex digest and are kept only as an argon2id hash
// of that digest (libsodium's string form, which carries its own salt and
// cost). Hashing and verifying each cost tens of milliseconds and 19 MiB of
// memory on purpose: never call them on the event loop's thread while it
// serves connections.
namespace PasswordHasher {

// A new hash of the digest; empty when libsodium could not hash (out of memory).
QByteArray hash(const QString &digest);

// Whether the digest matches the stored hash.
bool verify(const QByteArray &storedHash, const QString &digest);

// Costs the same as verify() and never matches: used when there is no
// account, so that a missing user takes as long to refuse as a wrong password.
bool verifyWithoutAccount(const QString &digest);

} // namespace PasswordHasher
