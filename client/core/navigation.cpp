#include "navigation.h"

namespace {

Navigation::Factory &factory()
{
    static Navigation::Factory instance;
    return instance;
}

} // namespace

void Navigation::setFactory(Factory newFactory)
{
    factory() = std::move(newFactory);
}

std::unique_ptr<QDialog> Navigation::create(ScreenKind kind)
{
    return factory() ? factory()(kind) : nullptr;
}

void Navigation::run(ScreenKind kind)
{
    if (const std::unique_ptr<QDialog> screen = create(kind))
        screen->exec();
}
