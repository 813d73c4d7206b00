#pragma once

#include <QList>
#include <QString>

#include <optional>

// The steps a bin order makes from its repair sheet to its confirmation, as
// the screens make them. A step is made by one request carrying a status
// number; which step that is, the statuses the order must have for it and
// the status it gets depend on the kind of bin: roll-off bins have no final
// checks. Orders move by these steps only.
namespace BinOrderLifecycle {

struct Step
{
    QString name; // for the person who reads a refusal: "a checker's pass"
    QList<int> from;
    int to = 0;
};

// The step that command, sent with sentStatus, makes on an order of
// workType; nothing when the screens make no such step.
std::optional<Step> step(const QString &command, int sentStatus, const QString &workType);

} // namespace BinOrderLifecycle
