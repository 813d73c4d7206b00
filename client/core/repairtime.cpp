#include "repairtime.h"

#include <QComboBox>

QPair<QString, QString> splitRepairTime(const QString &time)
{
    const int colon = time.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return {time, QString()};
    return {time.left(colon), time.mid(colon + 1).remove(QLatin1Char(':'))};
}

void selectItemText(QComboBox *comboBox, const QString &text)
{
    comboBox->setCurrentIndex(comboBox->findText(text, Qt::MatchFixedString));
}
