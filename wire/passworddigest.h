#pragma once

#include <QString>

namespace wire {

// What travels instead of a password: the Keccak-512 digest (the
// pre-standard padding) of its UTF-8 bytes, as 128 lowercase hex digits.
QString passwordDigest(const QString &password);

// True for text of the digest's form: 128 lowercase hex digits.
bool isPasswordDigest(const QString &text);

} // namespace wire
