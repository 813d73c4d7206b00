#include "csvwriter.h"

#include <QIODevice>

CsvWriter::CsvWriter(QIODevice &device)
    : device(device)
{
    failed = device.write("\xEF\xBB\xBF") != 3;
}

void CsvWriter::writeRow(const QStringList &cells)
{
    QStringList texts;
    texts.reserve(cells.size());
    for (const QString &cell : cells)
        texts << cellText(cell);
    const QByteArray line = texts.join(QLatin1Char(',')).toUtf8() + "\r\n";
    if (device.write(line) != line.size())
        failed = true;
}

QString CsvWriter::cellText(const QString &cell)
{
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    QString text = cell;
    if (!text.isEmpty() && formulaStarts.contains(text.front()))
        text.prepend(QLatin1Char('\''));
    const bool needsQuotes = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"'))
                             || text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
    if (!needsQuotes)
        return text;
    text.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}
