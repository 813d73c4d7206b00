#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

class QWidget;

// Watches for screens that a screen under test opens modally (they block
// in exec()), records them by class in the order they appear, and runs the
// action given for that class, typically closing it to let the flow return.
// A modal screen that nothing closes would keep the test waiting in its
// exec() until the test's time runs out: after StalledMs it is closed with
// a warning, and the test fails where it checks what should have happened.
class ScreenWatcher : public QObject
{
public:
    using Action = std::function<void(QWidget *screen)>;
    using Condition = std::function<bool(QWidget *screen)>;

    ScreenWatcher();

    // Runs the action once for every screen of this class that appears,
    // as soon as the screen is ready (by default at once).
    void onScreen(const QString &className, Action action, Condition ready = {});
    // Closes every screen of this class as soon as it appears.
    void closeScreen(const QString &className);

    QStringList seen() const { return appeared; }

    static constexpr qint64 StalledMs = 20000;

private:
    void look();
    void closeStalled();

    QTimer poll;
    struct Plan
    {
        Action action;
        Condition ready;
    };
    QHash<QString, Plan> plans;
    QList<QPointer<QWidget>> handled;
    QStringList appeared;
    QList<QWidget *> modalOpen; // the modal screens open, unchanged since modalSince
    QElapsedTimer modalSince;
};
