#pragma once

#include "wire/fieldreader.h"

#include <QString>
#include <QVector>

#include <functional>
#include <tuple>
#include <type_traits>

// A screen's reply handler: the tags it knows, tested in the order they
// were added, each with the fields its handler's parameters name. A tag
// nobody knows, or a known tag whose fields are short or corrupt, takes
// the fallback. A reply with counted groups of fields is read by a handler
// that takes the wire::FieldReader itself and returns false when what it
// read was corrupt (it must read everything before it acts).
class ReplyTable
{
public:
    template<typename Handler>
    ReplyTable &on(const QString &tag, Handler handler)
    {
        entries.append({tag, [handler](wire::FieldReader &reply) {
                            using Fields = typename Parameters<decltype(&Handler::operator())>::Tuple;
                            return readAndCall(reply, handler, static_cast<Fields *>(nullptr));
                        }});
        return *this;
    }

    ReplyTable &otherwise(std::function<void()> handler);
    // A fallback that is handed the tag, for screens that show it.
    ReplyTable &otherwise(std::function<void(const QString &tag)> handler);

    // Reads the tag from a frame and runs the handler it selects.
    void dispatch(wire::FieldReader &reply) const;

private:
    template<typename Method>
    struct Parameters;
    template<typename Class, typename Result, typename... Args>
    struct Parameters<Result (Class::*)(Args...) const>
    {
        using Tuple = std::tuple<std::decay_t<Args>...>;
    };

    template<typename Handler>
    static bool readAndCall(wire::FieldReader &reply, const Handler &handler, std::tuple<wire::FieldReader> *)
    {
        return handler(reply) && reply.ok();
    }

    template<typename Handler, typename... Fields>
    static bool readAndCall(wire::FieldReader &reply, const Handler &handler, std::tuple<Fields...> *)
    {
        auto fields = wire::readFields<Fields...>(reply);
        if (!fields)
            return false;
        std::apply(handler, std::move(*fields));
        return true;
    }

    struct Entry
    {
        QString tag;
        std::function<bool(wire::FieldReader &)> handle;
    };
    QVector<Entry> entries;
    std::function<void(const QString &tag)> fallback;
};
