#include "filteredtable.h"

#include "tablecolumns.h"

#include <QItemSelectionModel>
#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>

namespace {

// A negative look-ahead of nothing: matches no text at all.
const QString MatchesNothing = QStringLiteral("(?!)");

} // namespace

FilteredTable::FilteredTable(QTableView *view)
    : QObject(view)
    , view(view)
{ }

void FilteredTable::show(const QStringList &headers, const QVector<QStringList> &rows)
{
    auto *newModel = new QStandardItemModel(0, headers.size(), this);
    newModel->setHorizontalHeaderLabels(headers);
    for (const QStringList &row : rows) {
        QList<QStandardItem *> items;
        for (int column = 0; column < headers.size(); ++column)
            items << new QStandardItem(row.value(column));
        newModel->appendRow(items);
    }
    auto *newProxy = new QSortFilterProxyModel(this);
    newProxy->setFilterKeyColumn(-1);
    newProxy->setSourceModel(newModel);

    // The view keeps the selection model of an earlier model alive.
    QItemSelectionModel *oldSelection = view->selectionModel();
    view->setModel(newProxy);
    delete oldSelection;
    delete proxy;
    delete model;
    model = newModel;
    proxy = newProxy;
    fitColumns();
}

void FilteredTable::filter(const QString &pattern)
{
    if (!proxy)
        return;
    QRegularExpression expression(pattern, QRegularExpression::CaseInsensitiveOption);
    if (!expression.isValid())
        expression.setPattern(MatchesNothing);
    proxy->setFilterRegularExpression(expression);
    fitColumns();
}

bool FilteredTable::hasCurrentRow() const
{
    return proxy && view->currentIndex().isValid();
}

QString FilteredTable::currentText(const QString &header) const
{
    if (!hasCurrentRow())
        return {};
    for (int column = 0; column < proxy->columnCount(); ++column) {
        if (proxy->headerData(column, Qt::Horizontal).toString() == header)
            return proxy->index(view->currentIndex().row(), column).data().toString();
    }
    return {};
}

void FilteredTable::selectFirstExact(const QString &text)
{
    if (!proxy)
        return;
    for (int row = 0; row < proxy->rowCount(); ++row) {
        for (int column = 0; column < proxy->columnCount(); ++column) {
            const QModelIndex cell = proxy->index(row, column);
            if (cell.data().toString() == text) {
                view->selectRow(row);
                view->scrollTo(cell, QAbstractItemView::EnsureVisible);
                return;
            }
        }
    }
}

void FilteredTable::fitColumns()
{
    fitColumnsToContents(view);
}
