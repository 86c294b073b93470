#include "registry/ControlVisitSupport.h"

#include <cmath>

namespace visittest {

FND_REGISTER_CLASS(VisitModel, fnd::Object)

void VisitModel::describeClass(fnd::ClassBuilder<VisitModel>& c)
{
    c.property(
        "value", [](const VisitModel& m) { return m.value; },
        [](VisitModel& m, const fnd::Value& v) {
            m.value = v;
            m.lastWritten = v;
            ++m.writes;
        });
}

std::shared_ptr<VisitModel> VisitModel::holding(const fnd::Value& value)
{
    auto model = fnd::makeObject<VisitModel>();
    model->value = value;
    return model;
}

std::vector<VisitValue> visitValues()
{
    std::string longText;
    while (longText.size() < 4000)
        longText += "a long line of words that no field shows whole ";
    // 2024-03-01 12:34 UTC, seconds from the reference date.
    constexpr double march = 730989240;
    return {
        { "a word", fnd::Value("Paris") },
        { "an integer", fnd::Value(42) },
        { "a real", fnd::Value(2.5) },
        { "a boolean", fnd::Value(true) },
        { "a date", fnd::Value(fnd::Date::fromReferenceDate(march)) },
        { "several paragraphs", fnd::Value("para one\n\npara two\n") },
        { "a trailing line break", fnd::Value("last line\n") },
        { "a fraction", fnd::Value(3.7) },
        { "nil", fnd::Value() },
        { "null", fnd::Value(fnd::Null {}) },
        { "the placeholder's own text", fnd::Value(VisitPlaceholder) },
        { "a very long string", fnd::Value(fnd::String(longText)) },
        { "0.1 + 0.2", fnd::Value(0.1 + 0.2) },
        { "1e-9", fnd::Value(1e-9) },
        { "a date with seconds", fnd::Value(fnd::Date::fromReferenceDate(march + 56.789)) },
        { "text with a token separator", fnd::Value("a, b") },
        { "text with spaces around it", fnd::Value("  padded  ") },
        { "an array", fnd::Value(fnd::Array { "a", "b" }) },
        { "several values (the selection of two models)", fnd::Value("Paris"), VisitHolder::SeveralSelected },
        { "no selection", fnd::Value("Paris"), VisitHolder::NothingSelected },
    };
}

bool sameValue(const fnd::Value& a, const fnd::Value& b)
{
    if (a.type() != b.type() || !(a == b))
        return false;
    if (a.isNumber())
        return a.number()->kind() == b.number()->kind();
    return true;
}

std::string shown(const fnd::Value& value)
{
    std::string text = value.description().utf8();
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += "[lf]";
        else
            out += c;
    }
    if (out.size() > 60)
        out = out.substr(0, 60) + "...";
    return out;
}

unsigned visitSeed()
{
    const char* seed = std::getenv("BARCODES_VISIT_SEED");
    return seed ? static_cast<unsigned>(std::strtoul(seed, nullptr, 10)) : 1u;
}

int visitRounds()
{
    const char* rounds = std::getenv("BARCODES_VISIT_ROUNDS");
    return rounds ? std::max(1, std::atoi(rounds)) : 1;
}

VisitExit visitExitFor(std::size_t valueIndex, int round, unsigned start)
{
    constexpr std::size_t count = std::size(AllVisitExits);
    return AllVisitExits[(valueIndex + start + static_cast<std::size_t>(round)) % count];
}

VisitTest::VisitTest()
{
    // Nothing here depends on pixels; the windows need not be drawn.
    backend->setDrawsWindows(false);
}

void VisitTest::makeWindow()
{
    window = ui::Window::create(
        { { 100, 100 }, { 420, 320 } }, ui::WindowStyleMask::Titled | ui::WindowStyleMask::Closable);
    above = ui::TextField::create({ 20, 280, 200, 24 });
    below = ui::TextField::create({ 20, 10, 200, 24 });
    window->contentView()->addSubview(above);
    window->contentView()->addSubview(below);
    window->makeKeyAndOrderFront();
    backend->dispatchEvents();
}

void VisitTest::place(const std::shared_ptr<ui::View>& view)
{
    window->contentView()->addSubview(view);
    backend->dispatchEvents();
}

void VisitTest::press(const std::u16string& characters, unsigned short keyCode, unsigned flags)
{
    backend->keyDown(*window, fnd::String(characters), keyCode, flags);
    backend->keyUp(*window, fnd::String(characters), keyCode, flags);
    backend->dispatchEvents();
}

void VisitTest::clickAt(ui::View& view, gfx::Point point)
{
    backend->click(*window, view.convertPointToView(point, nullptr));
    backend->dispatchEvents();
}

void VisitTest::clickMiddle(ui::View& view)
{
    // Of the part in sight: a text view grows with a long text.
    auto b = view.visibleRect();
    clickAt(view, { b.midX(), b.midY() });
}

bool VisitTest::keyboardIsIn(const ui::View& view) const
{
    if (!window || !window->isVisible())
        return false;
    auto first = std::dynamic_pointer_cast<ui::View>(window->firstResponder());
    for (auto v = first; v; v = v->superview())
        if (v.get() == &view)
            return true;
    return false;
}

bool VisitTest::enter(ui::View& view, VisitEntry entry)
{
    switch (entry) {
    case VisitEntry::Program:
        window->makeFirstResponder(std::static_pointer_cast<ui::Responder>(view.shared_from_this()));
        break;
    case VisitEntry::Tab:
        window->makeFirstResponder(above);
        press(u"\t", ui::KeyCode::Tab);
        break;
    case VisitEntry::Backtab:
        window->makeFirstResponder(below);
        press(u"\x19", ui::KeyCode::Tab, ui::ModifierFlags::Shift);
        break;
    case VisitEntry::Click:
        clickMiddle(view);
        break;
    }
    backend->dispatchEvents();
    return keyboardIsIn(view);
}

void VisitTest::leave(ui::View& view, VisitExit exit)
{
    switch (exit) {
    case VisitExit::Tab:
    case VisitExit::Backtab:
        for (int i = 0; i < 8 && keyboardIsIn(view); ++i)
            exit == VisitExit::Tab ? press(u"\t", ui::KeyCode::Tab)
                                   : press(u"\x19", ui::KeyCode::Tab, ui::ModifierFlags::Shift);
        break;
    case VisitExit::Click:
        clickMiddle(keyboardIsIn(*below) ? *above : *below);
        break;
    case VisitExit::Return:
        press(u"\r", ui::KeyCode::Return);
        break;
    case VisitExit::WindowCloses:
        closeWindow();
        break;
    }
}

void VisitTest::closeWindow()
{
    // As the person closes it (the close button).
    if (window && window->isVisible())
        window->performClose();
    backend->dispatchEvents();
}

}
