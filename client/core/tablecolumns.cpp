#include "tablecolumns.h"

#include <QAbstractItemModel>
#include <QEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QPointer>
#include <QTableView>
#include <QTimer>
#include <QToolTip>

#include <numeric>

namespace {

// Up to this many rows every row is measured; a longer table is measured
// on this many rows spread over it, so that filling or filtering a list of
// a few hundred thousand rows costs no more than a short one.
constexpr int MeasuredRows = 250;

// Lives as a child of its table and refits it whenever what decides the
// widths changes: the rows, the header, the font or the visible width.
class ColumnFitter : public QObject
{
public:
    explicit ColumnFitter(QTableView *table)
        : QObject(table)
        , table(table)
    {
        setObjectName(QStringLiteral("columnFitter"));
        QHeaderView *header = table->horizontalHeader();
        header->setSectionResizeMode(QHeaderView::Interactive);
        header->setStretchLastSection(false);
        // A row's height counts every column, not only the ones in view.
        table->verticalHeader()->setResizeContentsPrecision(-1);
        table->setWordWrap(true);
        table->installEventFilter(this);
        table->viewport()->installEventFilter(this);
    }

    void follow(QAbstractItemModel *model)
    {
        if (model != followed) {
            if (followed)
                followed->disconnect(this);
            followed = model;
            if (model) {
                const auto refit = [this]() { fit(); };
                connect(model, &QAbstractItemModel::modelReset, this, refit);
                connect(model, &QAbstractItemModel::layoutChanged, this, refit);
                connect(model, &QAbstractItemModel::rowsInserted, this, refit);
                connect(model, &QAbstractItemModel::rowsRemoved, this, refit);
                connect(model, &QAbstractItemModel::columnsInserted, this, refit);
                connect(model, &QAbstractItemModel::columnsRemoved, this, refit);
                connect(model, &QAbstractItemModel::dataChanged, this, refit);
                connect(model, &QAbstractItemModel::headerDataChanged, this, refit);
            }
        }
        fit();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == table->viewport()) {
            if (event->type() == QEvent::Resize)
                scheduleFit();
            else if (event->type() == QEvent::ToolTip)
                return showCutText(static_cast<QHelpEvent *>(event));
        } else if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange
                   || event->type() == QEvent::Polish) {
            scheduleFit();
        }
        return false;
    }

private:
    // A burst of resizes, such as a screen laid out after its rows arrived,
    // is fitted once, when the event loop next runs; new rows are fitted at once.
    void scheduleFit()
    {
        if (fitting || fitPending)
            return;
        fitPending = true;
        QTimer::singleShot(0, this, [this]() {
            fitPending = false;
            fit();
        });
    }

    void fit()
    {
        QAbstractItemModel *model = table->model();
        // Widths change the visible area, which asks for another fit.
        if (fitting || !model || model->columnCount() == 0)
            return;
        fitting = true;
        // Taller rows may bring a scroll bar that narrows the table: fit again.
        for (int attempt = 0; attempt < 3; ++attempt) {
            const int width = table->viewport()->width();
            fitTo(width);
            if (table->viewport()->width() == width)
                break;
        }
        fitting = false;
    }

    void fitTo(int availableWidth)
    {
        const QAbstractItemModel *model = table->model();
        const int columns = model->columnCount();
        const QVector<int> rows = measuredRows();
        QHeaderView *header = table->horizontalHeader();
        QVector<int> headerWidths(columns);
        QVector<int> cellWidths(columns);
        QVector<int> widths(columns);
        for (int column = 0; column < columns; ++column) {
            headerWidths[column] = header->sectionSizeHint(column);
            cellWidths[column] = cellWidth(column, rows);
            widths[column] = qMax(headerWidths[column], cellWidths[column]);
        }
        // The column with the longest texts takes what is left, or gives way.
        const QVector<int> &byText = model->rowCount() > 0 ? cellWidths : headerWidths;
        const int widest = int(std::max_element(byText.cbegin(), byText.cend()) - byText.cbegin());
        const int others = std::accumulate(widths.cbegin(), widths.cend(), 0) - widths[widest];
        widths[widest] = qMax(headerWidths[widest], availableWidth - others);
        for (int column = 0; column < columns; ++column)
            header->resizeSection(column, widths[column]);
        fitRowHeights(rows);
    }

    QVector<int> measuredRows() const
    {
        const int count = table->model()->rowCount();
        const int measured = qMin(count, MeasuredRows);
        QVector<int> rows(measured);
        for (int i = 0; i < measured; ++i)
            rows[i] = int(qint64(i) * count / measured);
        return rows;
    }

    // The widest of the cells measured, as the table's own column hint
    // would find it.
    int cellWidth(int column, const QVector<int> &rows) const
    {
        if (rows.isEmpty())
            return 0;
        int width = 0;
        for (int row : rows)
            width = qMax(width, table->sizeHintForIndex(table->model()->index(row, column)).width());
        return table->showGrid() ? width + 1 : width;
    }

    // A table measured whole fits each row to its cells; a longer one
    // gives every row the height of the tallest row measured.
    void fitRowHeights(const QVector<int> &rows)
    {
        if (rows.size() == table->model()->rowCount()) {
            table->resizeRowsToContents();
            return;
        }
        const QAbstractItemView *view = table; // where measuring a row is public
        int height = 0;
        for (int row : rows)
            height = qMax(height, view->sizeHintForRow(row));
        table->verticalHeader()->setDefaultSectionSize(height);
    }

    bool showCutText(QHelpEvent *event)
    {
        const QModelIndex index = table->indexAt(event->pos());
        const QString text = index.data(Qt::DisplayRole).toString();
        const QRect cell = table->visualRect(index);
        if (index.isValid() && index.data(Qt::ToolTipRole).isNull() && !text.isEmpty() && !fitsWhole(index, cell))
            QToolTip::showText(event->globalPos(), text, table->viewport(), cell);
        else
            QToolTip::hideText();
        return index.isValid() && index.data(Qt::ToolTipRole).isNull();
    }

    bool fitsWhole(const QModelIndex &index, const QRect &cell) const
    {
        return table->sizeHintForIndex(index).width() <= cell.width();
    }

    QTableView *table;
    QPointer<QAbstractItemModel> followed;
    bool fitting = false;
    bool fitPending = false;
};

} // namespace

void fitColumnsToContents(QTableView *table)
{
    auto *fitter = static_cast<ColumnFitter *>(
        table->findChild<QObject *>(QStringLiteral("columnFitter"), Qt::FindDirectChildrenOnly));
    if (!fitter)
        fitter = new ColumnFitter(table);
    fitter->follow(table->model());
}
