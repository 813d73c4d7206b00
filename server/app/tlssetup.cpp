#include "tlssetup.h"

#include <QFile>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>

namespace {

std::optional<QByteArray> readFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    return file.readAll();
}

} // namespace

namespace TlsSetup {

std::optional<QSslConfiguration> serverConfiguration(const QString &certificatePath, const QString &keyPath,
                                                     QString *error)
{
    if (!QSslSocket::supportsSsl()) {
        *error = QStringLiteral("TLS is not available: the OpenSSL library could not be loaded");
        return std::nullopt;
    }
    const std::optional<QByteArray> certificateText = readFile(certificatePath, error);
    if (!certificateText)
        return std::nullopt;
    const QList<QSslCertificate> chain = QSslCertificate::fromData(*certificateText, QSsl::Pem);
    if (chain.isEmpty()) {
        *error = QStringLiteral("%1 holds no PEM certificate").arg(certificatePath);
        return std::nullopt;
    }
    const std::optional<QByteArray> keyText = readFile(keyPath, error);
    if (!keyText)
        return std::nullopt;
    QSslKey key(*keyText, QSsl::Rsa, QSsl::Pem);
    if (key.isNull())
        key = QSslKey(*keyText, QSsl::Ec, QSsl::Pem);
    if (key.isNull()) {
        *error = QStringLiteral("%1 holds no unencrypted PEM private key (RSA or EC)").arg(keyPath);
        return std::nullopt;
    }

    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificateChain(chain);
    configuration.setPrivateKey(key);
    configuration.setProtocol(QSsl::TlsV1_2OrLater);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone); // clients log in; they carry no certificate
    return configuration;
}

} // namespace TlsSetup
