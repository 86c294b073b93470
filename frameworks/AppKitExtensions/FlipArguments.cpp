#include "frameworks/AppKitExtensions/FlipArguments.h"

FND_REGISTER_CLASS(FlipArguments, fnd::Object)

std::shared_ptr<FlipArguments> FlipArguments::initWithToWindow(
    const std::shared_ptr<ui::Window>& toWindow, double flipDuration, bool shadowed)
{
    auto arguments = fnd::makeObject<FlipArguments>();
    arguments->m_toWindow = toWindow;
    arguments->m_duration = flipDuration;
    arguments->m_shadowed = shadowed;
    return arguments;
}
