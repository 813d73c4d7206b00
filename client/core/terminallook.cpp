#include "terminallook.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QMouseEvent>
#include <QPointer>
#include <QProxyStyle>
#include <QRadioButton>

namespace {

// Indicators follow the font of the widget that shows them, so that a
// 28-point screen gets ticks a finger can hit. A style sheet cannot do
// this: its relative sizes follow the program's font, not the screen's.
class TerminalStyle : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        const int base = QProxyStyle::pixelMetric(metric, option, widget);
        switch (metric) {
        case PM_IndicatorWidth:
        case PM_IndicatorHeight:
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight:
            return widget ? qMax(base, widget->fontMetrics().height()) : base;
        default:
            return base;
        }
    }
};

// A press and release inside a group box, off its widgets, clicks the
// nearest tick of that box, provided the box holds nothing but ticks.
class TickAreaClicks : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonRelease)
            return false;
        auto *box = qobject_cast<QGroupBox *>(watched);
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (!box || mouse->button() != Qt::LeftButton || box->isCheckable())
            return false;
        QAbstractButton *tick = nearestTick(box, mouse->pos());
        if (!tick)
            return false;
        if (event->type() == QEvent::MouseButtonPress) {
            pressedBox = box;
        } else if (pressedBox == box) {
            pressedBox = nullptr;
            if (box->rect().contains(mouse->pos()))
                tick->click();
        }
        return true;
    }

private:
    static QAbstractButton *nearestTick(QGroupBox *box, const QPoint &point)
    {
        const QList<QWidget *> inside = box->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
        QAbstractButton *nearest = nullptr;
        int nearestDistance = 0;
        for (QWidget *widget : inside) {
            if (!widget->isVisible())
                continue;
            auto *tick = qobject_cast<QAbstractButton *>(widget);
            if (!qobject_cast<QCheckBox *>(widget) && !qobject_cast<QRadioButton *>(widget))
                return nullptr; // something else to press: the box is not a tick area
            const QRect area = tick->geometry();
            const int dx = qMax(qMax(area.left() - point.x(), point.x() - area.right()), 0);
            const int dy = qMax(qMax(area.top() - point.y(), point.y() - area.bottom()), 0);
            const int distance = dx * dx + dy * dy;
            if (!nearest || distance < nearestDistance) {
                nearest = tick;
                nearestDistance = distance;
            }
        }
        return nearest && nearest->isEnabled() ? nearest : nullptr;
    }

    QPointer<QGroupBox> pressedBox;
};

} // namespace

void TerminalLook::apply()
{
    if (dynamic_cast<TerminalStyle *>(QApplication::style()))
        return;
    QApplication::setStyle(new TerminalStyle);
    qApp->installEventFilter(new TickAreaClicks(qApp));
}
