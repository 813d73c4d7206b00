#include "app/serverprogram.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("repair-server"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION));

    QTextStream input(stdin);
    QTextStream output(stdout);
    QTextStream errors(stderr);
    return ServerProgram::run(QCoreApplication::arguments(), input, output, errors);
}
