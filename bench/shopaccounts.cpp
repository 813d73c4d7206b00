#include "shopaccounts.h"

namespace {

QString numbered(QChar letter, int number)
{
    return QStringLiteral("%1%2").arg(letter).arg(number, 2, 10, QLatin1Char('0'));
}

} // namespace

namespace ShopAccounts {

QString worker(int number)
{
    return numbered(QLatin1Char('w'), number);
}

QString checker(int number)
{
    return numbered(QLatin1Char('c'), number);
}

QString manager(int number)
{
    return numbered(QLatin1Char('m'), number);
}

QString password(const QString &userName)
{
    return QStringLiteral("pw-") + userName;
}

QStringList departments()
{
    return {QStringLiteral("Front End"), QStringLiteral("Roll Off"), QStringLiteral("Custom Shop"),
            QStringLiteral("Office")};
}

QString departmentOfWorker(int number)
{
    return departments().at(number % 3);
}

} // namespace ShopAccounts
