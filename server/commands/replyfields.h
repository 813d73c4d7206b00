#pragma once

#include <frame.h>

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

// Reply fields whose number is known only when the reply is built (one
// group of fields per row): texts and text lists, written in the order they
// were added. Example:
//   ReplyFields rows;
//   for (const Line &line : lines) { rows.add(line.code); rows.add(line.materials); }
//   reply.send(QStringLiteral("Lines"), QString::number(lines.size()), rows);
class ReplyFields
{
public:
    void add(const QString &text) { values.append(text); }
    void add(const QStringList &texts) { values.append(texts); }

    friend wire::FrameWriter &operator<<(wire::FrameWriter &writer, const ReplyFields &fields)
    {
        for (const QVariant &value : fields.values) {
            if (value.type() == QVariant::StringList)
                writer << value.toStringList();
            else
                writer << value.toString();
        }
        return writer;
    }

private:
    QVariantList values;
};
