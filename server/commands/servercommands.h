#pragma once

#include "commanddispatcher.h"
#include "commanddomain.h"

#include <memory>
#include <vector>

class AccessGate;

// Every command the server answers, gathered from the command domains, each
// served only to the terminals its access rule admits.
class ServerCommands
{
public:
    explicit ServerCommands(ServerServices services);
    ~ServerCommands();

    const CommandDispatcher &dispatcher() const { return table; }

private:
    template<typename Domain>
    void install(ServerServices services)
    {
        domains.push_back(std::make_unique<Domain>(services));
        domains.back()->registerCommands(table);
    }

    CommandDispatcher table;
    std::vector<std::unique_ptr<CommandDomain>> domains;
    std::unique_ptr<AccessGate> gate;
};
