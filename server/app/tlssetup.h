#pragma once

#include <QSslConfiguration>
#include <QString>

#include <optional>

// The server's side of TLS (--tls-cert, --tls-key).
namespace TlsSetup {

// TLS 1.2 or later with the certificate file (PEM: the server's certificate,
// then any intermediate ones) and its unencrypted private key (PEM, RSA or
// EC). Nothing, with the reason in error, when either cannot be used.
std::optional<QSslConfiguration> serverConfiguration(const QString &certificatePath, const QString &keyPath,
                                                     QString *error);

} // namespace TlsSetup
