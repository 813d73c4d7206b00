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
//   for (const Line &line : lines) rows.add(line.code, line.materials);
//   reply.send(QStringLiteral("Lines"), QString::number(lines.size()), rows);
class ReplyFields
{
public:
    void add(const QString &text) { values.append(text); }
    void add(const QStringList &texts) { values.append(texts); }
    // Several fields, in the order given.
    template<typename First, typename Second, typename... Rest>
    void add(const First &first, const Second &second, const Rest &...rest)
    {
        add(first);
        add(second, rest...);
    }

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
