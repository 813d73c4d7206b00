#include "navigation.h"

#include "wayout.h"

namespace {

Navigation::Factory &factory()
{
    static Navigation::Factory instance;
    return instance;
}

quint64 createdCount = 0;

} // namespace

void Navigation::setFactory(Factory newFactory)
{
    factory() = std::move(newFactory);
}

std::unique_ptr<QDialog> Navigation::create(ScreenKind kind)
{
    ++createdCount;
    std::unique_ptr<QDialog> screen = factory() ? factory()(kind) : nullptr;
    if (screen)
        WayOut::watch(screen.get());
    return screen;
}

void Navigation::run(ScreenKind kind)
{
    if (const std::unique_ptr<QDialog> screen = create(kind))
        screen->exec();
}

quint64 Navigation::screensCreated()
{
    return createdCount;
}
