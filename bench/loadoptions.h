#pragma once

#include <QHostAddress>
#include <QString>

#include <optional>

// What shop-load is asked to do; see its --help.
struct LoadOptions
{
    struct Address
    {
        QHostAddress host;
        quint16 port = 0;
    };

    Address server{QHostAddress::LocalHost, 1234};
    int terminals = 10;
    int seconds = 10;
    bool realisticPace = false;
    bool echo = false;
    std::optional<Address> compareEcho;
    int rounds = 1; // of frame-echo and the server in turns
    QString only;
    int idle = 0;
    int logins = 0;
    int readers = 0;
    bool lists = false;
};

// Reads the program's arguments; exits for --help. Nothing, with the
// reason in error, when they do not fit.
std::optional<LoadOptions> parseLoadOptions(const QStringList &arguments, QString *error);
