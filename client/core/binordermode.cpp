#include "binordermode.h"

#include "appstate.h"

#include <QDate>

BinOrderMode binOrderMode()
{
    const AppState &state = AppState::instance();
    if (state.checkingOrder())
        return BinOrderMode::Checking;
    if (state.confirmingOrders())
        return BinOrderMode::Confirming;
    return BinOrderMode::OwnBin;
}

QString ownOrderUser()
{
    const AppState &state = AppState::instance();
    return state.orderOwner().isEmpty() ? state.user(1) : state.orderOwner();
}

bool continuesAnotherUsersOrder()
{
    return binOrderMode() == BinOrderMode::OwnBin && !AppState::instance().orderOwner().isEmpty();
}

QString binDateText()
{
    return QDate::currentDate().toString(QStringLiteral("d-M-yyyy"));
}
