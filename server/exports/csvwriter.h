#pragma once

#include <QStringList>

class QIODevice;

// Writes a table as CSV that spreadsheets open as it is meant: UTF-8 with a
// byte-order mark, RFC 4180 quoting and CRLF line ends. A cell that a
// spreadsheet would take for a formula (it starts with "=", "+", "-", "@",
// a tab or a carriage return) is written with a leading apostrophe, so a
// name or a description typed on a terminal can never run as one.
class CsvWriter
{
public:
    explicit CsvWriter(QIODevice &device);

    void writeRow(const QStringList &cells);
    bool ok() const { return !failed; }

private:
    static QString cellText(const QString &cell);

    QIODevice &device;
    bool failed = false;
};
