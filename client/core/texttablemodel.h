#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QStringList>
#include <QVector>

class QRegularExpression;

// Rows of text under column headers, read-only, as a reply brings them:
// one list of cells a row, sharing the reply's texts rather than copying
// them. A row shorter than the headers leaves its last cells empty. A
// filter narrows the rows shown, in their order, to those with a cell
// that matches; the current and selected rows that stay are kept.
class TextTableModel : public QAbstractTableModel
{
public:
    explicit TextTableModel(const QStringList &headers, QObject *parent = nullptr);

    // Replaces every row in one go; the new rows are all shown.
    void setRows(const QVector<QStringList> &rows);
    // Shows only the rows with a cell the expression matches anywhere.
    void setFilter(const QRegularExpression &expression);
    // Where the row shown at this position stands in the rows given.
    int sourceRow(int shownRow) const { return shown.at(shownRow); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    bool matches(const QStringList &row, const QRegularExpression &expression, QHash<QString, bool> &matched) const;

    QStringList headers;
    QVector<QStringList> rows;
    // The positions in rows of the rows shown, ascending.
    QVector<int> shown;
};
