#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>
#include <QVector>

#include <optional>

// Rows of text under column headers, read-only, as a reply brings them:
// kept column by column, one list of cells a column, sharing the reply's
// texts rather than copying them, so that a list of a few hundred thousand
// rows costs a few allocations rather than one a row. A row shorter than
// the headers leaves its last cells empty. A filter narrows the rows
// shown, in their order, to those with a cell that matches; the current
// and selected rows that stay are kept.
class TextTableModel : public QAbstractTableModel
{
public:
    explicit TextTableModel(const QStringList &headers, QObject *parent = nullptr);

    // Replaces every row in one go; the new rows are all shown.
    void setRows(const QVector<QStringList> &rows);
    // The same, given column by column in the order of the headers. The
    // first column counts the rows; a shorter one leaves its last cells empty.
    void setColumns(const QVector<QStringList> &columns);
    // Adds rows at the end, given like setColumns(); those the filter lets
    // through are shown.
    void appendColumns(const QVector<QStringList> &columns);
    // Shows only the rows with a cell the expression matches anywhere.
    void setFilter(const QRegularExpression &expression);
    // Where the row shown at this position stands in the rows given.
    int sourceRow(int shownRow) const { return shown.at(shownRow); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    bool matches(int row, const QRegularExpression &expression, QHash<QString, bool> &matched) const;
    QString cell(int row, int column) const;
    // The rows from this one on that the filter lets through.
    QVector<int> matchingRows(int firstRow) const;

    QStringList headers;
    QVector<QStringList> columns;
    int rows = 0;
    // The positions of the rows shown among all rows, ascending.
    QVector<int> shown;
    std::optional<QRegularExpression> filter;
};
