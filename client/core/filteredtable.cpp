#include "filteredtable.h"

#include "tablecolumns.h"
#include "texttablemodel.h"
#include "usermessages.h"

#include <QItemSelectionModel>
#include <QRegularExpression>
#include <QTableView>
#include <QTimer>

namespace {

// A negative look-ahead of nothing: matches no text at all.
const QString MatchesNothing = QStringLiteral("(?!)");

} // namespace

FilteredTable::FilteredTable(QTableView *view)
    : QObject(view)
    , view(view)
    , nextSlice(new QTimer(this))
{
    nextSlice->setSingleShot(true);
    connect(nextSlice, &QTimer::timeout, this, &FilteredTable::showNextSlice);
}

void FilteredTable::show(const QStringList &headers, const QVector<QStringList> &rows)
{
    auto *newModel = new TextTableModel(headers, this);
    newModel->setRows(rows);
    showModel(newModel);
}

void FilteredTable::showInSlices(const QStringList &headers, SliceReader readSlice)
{
    QVector<QStringList> columns(headers.size());
    const bool more = readSlice(columns);
    auto *newModel = new TextTableModel(headers, this);
    newModel->setColumns(columns);
    showModel(newModel);
    if (more) {
        sliceReader = std::move(readSlice);
        nextSlice->start(0);
    }
}

void FilteredTable::showNextSlice()
{
    QVector<QStringList> columns(model->columnCount());
    const bool more = sliceReader(columns);
    model->appendColumns(columns);
    if (more)
        nextSlice->start(0);
    else
        sliceReader = nullptr;
}

void FilteredTable::showModel(TextTableModel *newModel)
{
    nextSlice->stop();
    sliceReader = nullptr;
    // The view keeps the selection model of an earlier model alive.
    QItemSelectionModel *oldSelection = view->selectionModel();
    view->setModel(newModel);
    delete oldSelection;
    delete model;
    model = newModel;
    fitColumnsToContents(view);
}

void FilteredTable::filter(const QString &pattern)
{
    if (!model)
        return;
    QRegularExpression expression(pattern, QRegularExpression::CaseInsensitiveOption);
    if (!expression.isValid())
        expression.setPattern(MatchesNothing);
    model->setFilter(expression);
}

bool FilteredTable::hasCurrentRow() const
{
    return model && view->currentIndex().isValid();
}

QString FilteredTable::currentText(const QString &header) const
{
    if (!hasCurrentRow())
        return {};
    for (int column = 0; column < model->columnCount(); ++column) {
        if (model->headerData(column, Qt::Horizontal).toString() == header)
            return model->index(view->currentIndex().row(), column).data().toString();
    }
    return {};
}

void FilteredTable::searchExact(const QString &text)
{
    if (text.isEmpty()) {
        UserMessages::show(view->window(), QStringLiteral("Please enter text to search for"));
        return;
    }
    if (!model)
        return;
    for (int row = 0; row < model->rowCount(); ++row) {
        for (int column = 0; column < model->columnCount(); ++column) {
            const QModelIndex cell = model->index(row, column);
            if (cell.data().toString() == text) {
                view->selectRow(row);
                view->scrollTo(cell, QAbstractItemView::EnsureVisible);
                return;
            }
        }
    }
}
