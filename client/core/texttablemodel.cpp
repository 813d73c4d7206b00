#include "texttablemodel.h"

#include <algorithm>
#include <numeric>

TextTableModel::TextTableModel(const QStringList &headers, QObject *parent)
    : QAbstractTableModel(parent)
    , headers(headers)
{ }

void TextTableModel::setRows(const QVector<QStringList> &newRows)
{
    QVector<QStringList> newColumns(headers.size());
    for (int column = 0; column < newColumns.size(); ++column) {
        newColumns[column].reserve(newRows.size());
        for (const QStringList &row : newRows)
            newColumns[column].append(row.value(column));
    }
    setColumns(newColumns);
}

void TextTableModel::setColumns(const QVector<QStringList> &newColumns)
{
    beginResetModel();
    columns = newColumns;
    rows = columns.isEmpty() ? 0 : columns.first().size();
    shown.resize(rows);
    std::iota(shown.begin(), shown.end(), 0);
    filter.reset();
    endResetModel();
}

void TextTableModel::appendColumns(const QVector<QStringList> &newColumns)
{
    if (newColumns.isEmpty() || newColumns.first().isEmpty())
        return;
    const int firstNew = rows;
    rows += newColumns.first().size();
    columns.resize(qMax(columns.size(), newColumns.size()));
    for (int column = 0; column < newColumns.size(); ++column) {
        // A short column is made up to the rows before it so that the
        // new cells stand in their rows.
        QStringList &cells = columns[column];
        while (cells.size() < firstNew)
            cells.append(QString());
        cells.append(newColumns.at(column));
    }
    const QVector<int> matching = matchingRows(firstNew);
    if (matching.isEmpty())
        return;
    beginInsertRows({}, shown.size(), shown.size() + matching.size() - 1);
    shown += matching;
    endInsertRows();
}

void TextTableModel::setFilter(const QRegularExpression &expression)
{
    filter = expression;
    const QVector<int> matching = matchingRows(0);
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

QVector<int> TextTableModel::matchingRows(int firstRow) const
{
    QVector<int> matching;
    if (!filter) {
        matching.resize(rows - firstRow);
        std::iota(matching.begin(), matching.end(), firstRow);
        return matching;
    }
    // Long lists repeat their texts (users, dates): each is matched once.
    QHash<QString, bool> matched;
    for (int row = firstRow; row < rows; ++row) {
        if (matches(row, *filter, matched))
            matching.append(row);
    }
    return matching;
}

bool TextTableModel::matches(int row, const QRegularExpression &expression, QHash<QString, bool> &matched) const
{
    for (int column = 0; column < headers.size(); ++column) {
        const QString text = cell(row, column);
        auto known = matched.constFind(text);
        if (known == matched.cend())
            known = matched.insert(text, text.contains(expression));
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
    return cell(shown.at(index.row()), index.column());
}

QString TextTableModel::cell(int row, int column) const
{
    return column < columns.size() ? columns.at(column).value(row) : QString();
}

QVariant TextTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return headers.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
