#include "replytable.h"

ReplyTable &ReplyTable::otherwise(std::function<void()> handler)
{
    fallback = [handler = std::move(handler)](const QString &) { handler(); };
    return *this;
}

ReplyTable &ReplyTable::otherwise(std::function<void(const QString &tag)> handler)
{
    fallback = std::move(handler);
    return *this;
}

void ReplyTable::dispatch(wire::FieldReader &reply) const
{
    const QString tag = reply.string();
    for (const Entry &entry : entries) {
        if (entry.tag == tag) {
            if (reply.ok() && entry.handle(reply))
                return;
            break;
        }
    }
    if (fallback)
        fallback(tag);
}
