#pragma once

#include <QHash>
#include <QString>
#include <QTimeZone>

#include <optional>

// Texts that many rows of a list share, each made once.
template<typename Key>
class TextsMadeOnce
{
public:
    template<typename Make>
    QString of(Key key, Make make)
    {
        auto text = texts.find(key);
        if (text == texts.end())
            text = texts.insert(key, make(key));
        return *text;
    }

private:
    QHash<Key, QString> texts;
};

// The days orders were finished, as list texts (3/7/2016, month/day/year)
// in the server's time zone. Converting each time on its own is slow (the
// zone is looked up again for every order), so the zone's offset is kept
// for as long as it holds, up to its next change. A list's orders come by
// owner and time, so most share the day of the one before; the texts of
// other days come from those that every list shares.
class DayTexts
{
public:
    QString of(qint64 secondsSinceEpoch);

private:
    int offsetAt(qint64 secondsSinceEpoch);

    const QTimeZone zone = QTimeZone::systemTimeZone();
    int offset = 0;
    qint64 validFrom = 0; // offset holds from here
    qint64 validUntil = 0; // to before here
    std::optional<qint64> lastDay; // none before the first order
    QString lastText;
};
