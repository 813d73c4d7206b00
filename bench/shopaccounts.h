#pragma once

#include <QString>
#include <QStringList>

// The accounts of the generated shop, by rule, so that the load program
// can log in as any of them without reading the database: workers w01..w56,
// checkers c01 and c02, managers m01 and m02, each with the password "pw-"
// followed by the user name.
namespace ShopAccounts {

constexpr int Workers = 56;
constexpr int Checkers = 2;
constexpr int Managers = 2;

// number counts from 1.
QString worker(int number);
QString checker(int number);
QString manager(int number);

QString password(const QString &userName);

// The worker departments, then the office's, where checkers and managers are.
QStringList departments();
QString departmentOfWorker(int number);

} // namespace ShopAccounts
