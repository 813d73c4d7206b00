#pragma once

#include <memory>
#include <typeindex>
#include <unordered_map>

// What command domains remember about one client connection between its
// requests. Each domain keeps its own struct T, made on first use with
// T's default value and found again by its type; all of it ends with the
// connection. Used by command handlers, which take turns on the store.
class ConnectionSession
{
public:
    template<typename T>
    T &get()
    {
        std::shared_ptr<void> &slot = values[std::type_index(typeid(T))];
        if (!slot)
            slot = std::make_shared<T>();
        return *static_cast<T *>(slot.get());
    }

private:
    std::unordered_map<std::type_index, std::shared_ptr<void>> values;
};
