#include "texttablemodel.h"

#include <QRegularExpression>

#include <algorithm>
#include <numeric>

TextTableModel::TextTableModel(const QStringList &headers, QObject *parent)
    : QAbstractTableModel(parent)
    , headers(headers)
{ }

void TextTableModel::setRows(const QVector<QStringList> &newRows)
{
    beginResetModel();
    rows = newRows;
    shown.resize(rows.size());
    std::iota(shown.begin(), shown.end(), 0);
    endResetModel();
}

void TextTableModel::setFilter(const QRegularExpression &expression)
{
    QVector<int> matching;
    // Long lists repeat their texts (users, dates): each is matched once.
    QHash<QString, bool> matched;
    for (int row = 0; row < rows.size(); ++row) {
        if (matches(rows.at(row), expression, matched))
            matching.append(row);
    }
    // One layout change, not a signal for every run of rows that comes or
    // goes: the views then lay out the rows once.
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    for (const QModelIndex &index : before) {
        const int source = shown.at(index.row());
        const auto found = std::lower_bound(matching.cbegin(), matching.cend(), source);
        after << (found != matching.cend() && *found == source
                      ? createIndex(int(found - matching.cbegin()), index.column())
                      : QModelIndex());
    }
    shown = matching;
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

bool TextTableModel::matches(const QStringList &row, const QRegularExpression &expression,
                             QHash<QString, bool> &matched) const
{
    for (int column = 0; column < headers.size(); ++column) {
        const QString cell = row.value(column);
        auto known = matched.constFind(cell);
        if (known == matched.cend())
            known = matched.insert(cell, cell.contains(expression));
        if (*known)
            return true;
    }
    return false;
}

int TextTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : shown.size();
}

int TextTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : headers.size();
}

QVariant TextTableModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return rows.at(shown.at(index.row())).value(index.column());
}

QVariant TextTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return headers.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
