#pragma once

#include <QObject>
#include <QStringList>
#include <QVector>

#include <functional>

class QTableView;
class QTimer;
class TextTableModel;

// Rows of text in a table view, narrowed by what the user types: a
// case-insensitive regular expression over every column, so that a row
// stays when any of its cells holds a match. Each new set of rows comes
// with a fresh, unfiltered model. The rows are read back by the header of
// their column, as the user sees them. It lives as long as its view.
class FilteredTable : public QObject
{
public:
    explicit FilteredTable(QTableView *view);

    // Replaces the rows shown; a row shorter than the headers leaves its
    // last cells empty.
    void show(const QStringList &headers, const QVector<QStringList> &rows);
    // Fills a list too long to read in one go a slice at a time: each call
    // of readSlice adds the next rows to the columns it is handed (in the
    // order of the headers, the first counting the rows) and says
    // whether more are left. The first slice replaces the rows shown, the
    // others follow whenever the event loop is free, so that the window
    // keeps painting meanwhile. Rows shown anew drop the slices still due.
    using SliceReader = std::function<bool(QVector<QStringList> &columns)>;
    void showInSlices(const QStringList &headers, SliceReader readSlice);

    // An empty pattern shows every row. A pattern that is no valid regular
    // expression (often one half typed, such as "[a") shows none.
    void filter(const QString &pattern);

    // No current row until rows were shown and one was chosen.
    bool hasCurrentRow() const;
    // The current row's cell under this header; empty when there is none.
    QString currentText(const QString &header) const;

    // Selects and scrolls to the first row, top to bottom and left to right,
    // with a cell whose whole text is this one, case included; an empty text
    // asks the user for one instead.
    void searchExact(const QString &text);

private:
    void showModel(TextTableModel *newModel);
    void showNextSlice();

    QTableView *view;
    TextTableModel *model = nullptr;
    SliceReader sliceReader;
    QTimer *nextSlice;
};
