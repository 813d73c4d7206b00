#include "passworddigest.h"

#include <QCryptographicHash>

namespace wire {

namespace {
constexpr int DigestLength = 128;
}

QString passwordDigest(const QString &password)
{
    const QByteArray digest = QCryptographicHash::hash(password.toUtf8(), QCryptographicHash::Keccak_512);
    return QString::fromLatin1(digest.toHex());
}

bool isPasswordDigest(const QString &text)
{
    if (text.size() != DigestLength)
        return false;
    for (const QChar c : text) {
        if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('f'))))
            return false;
    }
    return true;
}

} // namespace wire
