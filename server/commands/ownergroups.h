#pragma once

#include <QList>

// Rows that come sorted by owner, gathered as one group per owner in their
// order. Each row names its owner in userName; a Group keeps it in owner,
// and addRow(group, row) adds the row to its owner's group.
template<typename Group, typename Rows, typename AddRow>
QList<Group> groupByOwner(const Rows &rows, AddRow addRow)
{
    QList<Group> groups;
    for (const auto &row : rows) {
        if (groups.isEmpty() || groups.last().owner != row.userName) {
            groups.append(Group());
            groups.last().owner = row.userName;
        }
        addRow(groups.last(), row);
    }
    return groups;
}
