#pragma once

#include <QHostAddress>

#include <memory>
#include <typeindex>
#include <unordered_map>

// What command domains remember about one client connection between its
// requests, and the address of the terminal it comes from. Each domain keeps its own struct T, made on first use with
// T's default value and found again by its type; all of it ends with the
// connection. Used by command handlers, which take turns on the store.
class ConnectionSession
{
public:
    explicit ConnectionSession(QHostAddress peer = {})
        : peer(std::move(peer))
    { }

    const QHostAddress &peerAddress() const { return peer; }

    template<typename T>
    T &get()
    {
        std::shared_ptr<void> &slot = values[std::type_index(typeid(T))];
        if (!slot)
            slot = std::make_shared<T>();
        return *static_cast<T *>(slot.get());
    }

private:
    QHostAddress peer;
    std::unordered_map<std::type_index, std::shared_ptr<void>> values;
};
