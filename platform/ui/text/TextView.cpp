// The text view's set-up, looks, size, drawing, caret blinking and keyboard focus. Editing, selection, the mouse
// and the pasteboard live in the TextView*.cpp files beside this one.

#include "platform/ui/text/TextView.h"

#include "platform/foundation/model/UndoManager.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/text/AttributedString.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextRanges.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/look/ControlLook.h"
#include "platform/ui/text/detail/TextViewInternals.h"
#include "platform/ui/views/KeyBindings.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cmath>

namespace ui {

FND_REGISTER_CLASS(TextView, View)

void TextView::describeClass(fnd::ClassBuilder<TextView>& c)
{
    c.property("string", &TextView::string, &TextView::setString);
    c.property("editable", &TextView::isEditable, &TextView::setEditable);
    c.property("selectable", &TextView::isSelectable, &TextView::setSelectable);
    c.property("richText", &TextView::isRichText, &TextView::setRichText);
    c.property("fieldEditor", &TextView::isFieldEditor, &TextView::setFieldEditor);
    c.property("font", &TextView::font, &TextView::setFont);
    c.property("textColor", &TextView::textColor, &TextView::setTextColor);
    c.property("backgroundColor", &TextView::backgroundColor, &TextView::setBackgroundColor);
    c.property("drawsBackground", &TextView::drawsBackground, &TextView::setDrawsBackground);
    c.property(
        "alignment", [](const TextView& v) { return static_cast<long>(v.alignment()); },
        [](TextView& v, long a) { v.setAlignment(static_cast<txt::TextAlignment>(std::clamp(a, 0L, 4L))); });
    c.property("selectedRange", &TextView::selectedRange, [](TextView& v, fnd::Range r) { v.setSelectedRange(r); });
    c.property("textContainerInset", &TextView::textContainerInset, &TextView::setTextContainerInset);
    c.property("horizontallyResizable", &TextView::isHorizontallyResizable, &TextView::setHorizontallyResizable);
    c.property("verticallyResizable", &TextView::isVerticallyResizable, &TextView::setVerticallyResizable);
    c.property("minSize", &TextView::minSize, &TextView::setMinSize);
    c.property("maxSize", &TextView::maxSize, &TextView::setMaxSize);
    c.property("allowsUndo", &TextView::allowsUndo, &TextView::setAllowsUndo);
    c.property("importsGraphics", &TextView::importsGraphics, &TextView::setImportsGraphics);
    detail::describeTextViewCommands(c);
}

// Set-up.

std::shared_ptr<TextView> TextView::create(gfx::Rect frame)
{
    return makeView<TextView>(frame);
}

std::shared_ptr<TextView> TextView::create(gfx::Rect frame, const std::shared_ptr<txt::TextContainer>& container)
{
    auto view = std::make_shared<TextView>();
    view->initWithFrame(frame, container);
    return view;
}

void TextView::initWithFrame(gfx::Rect frame)
{
    auto container = std::make_shared<txt::TextContainer>(gfx::Size { std::max(0.0, frame.width()), 1e7 });
    container->setWidthTracksTextView(true);
    initWithFrame(frame, container);
}

void TextView::initWithFrame(gfx::Rect frame, const std::shared_ptr<txt::TextContainer>& container)
{
    View::initWithFrame(frame);
    // The view grows with its text but never below the size it was made with.
    m_minSize = frame.size;
    // A container no layout manager holds yet gets storage of the view's own.
    setUpTextSystem(container, !container->layoutManager());
}

void TextView::setUpTextSystem(const std::shared_ptr<txt::TextContainer>& container, bool ownsStorage)
{
    if (ownsStorage) {
        m_ownedStorage = std::make_shared<txt::TextStorage>();
        auto manager = fnd::makeObject<txt::LayoutManager>();
        manager->addTextContainer(container);
        m_ownedStorage->addLayoutManager(manager);
    }
    m_selectedTextAttributes = { { txt::BackgroundColorAttributeName, gfx::Color::selectedTextBackgroundColor() } };
    m_markedTextAttributes = { { txt::UnderlineStyleAttributeName, fnd::Value(long(txt::UnderlineStyle::Single)) } };
    m_linkTextAttributes = { { txt::ForegroundColorAttributeName, gfx::Color::blueColor() },
        { txt::UnderlineStyleAttributeName, fnd::Value(long(txt::UnderlineStyle::Single)) } };
    m_backgroundColor = gfx::Color::textBackgroundColor();
    setTextContainer(container);
}

TextView::~TextView()
{
    auto& center = fnd::NotificationCenter::defaultCenter();
    if (m_storageObserver)
        center.removeObserver(m_storageObserver);
    for (auto token : m_windowObservers)
        center.removeObserver(token);
    stopBlinkTimer();
}

std::shared_ptr<txt::LayoutManager> TextView::layoutManager() const
{
    return m_textContainer ? m_textContainer->layoutManager() : nullptr;
}

txt::TextStorage* TextView::textStorage() const
{
    auto manager = layoutManager();
    return manager ? manager->textStorage() : nullptr;
}

void TextView::setTextContainer(const std::shared_ptr<txt::TextContainer>& container)
{
    m_textContainer = container;
    auto& center = fnd::NotificationCenter::defaultCenter();
    if (m_storageObserver)
        center.removeObserver(m_storageObserver);
    m_storageObserver = {};
    if (auto* storage = textStorage()) {
        // Edits of the storage made by others: the selection stays valid and the view follows the text. The
        // destructor removes the observer, so `this` outlives it.
        m_storageObserver = center.addObserverForName(txt::TextStorageDidProcessEditingNotification,
            storage->selfValue(), [this](const fnd::Notification&) { textStorageDidProcessEditing(); });
    }
    watchLayoutManager();
    invalidateTextContainerOrigin();
    setNeedsDisplay(true);
}

void TextView::replaceTextContainer(const std::shared_ptr<txt::TextContainer>& container)
{
    auto manager = layoutManager();
    if (!container || !manager)
        return;
    const auto& containers = manager->textContainers();
    auto at = std::find(containers.begin(), containers.end(), m_textContainer);
    std::size_t index = at == containers.end() ? containers.size() : static_cast<std::size_t>(at - containers.begin());
    if (at != containers.end())
        manager->removeTextContainerAtIndex(index);
    manager->insertTextContainer(container, index);
    setTextContainer(container);
}

void TextView::setTextContainerInset(gfx::Size inset)
{
    inset = boundedSize(inset, m_textContainerInset);
    if (inset == m_textContainerInset)
        return;
    m_textContainerInset = inset;
    invalidateTextContainerOrigin();
    containerFollowsFrame(); // the container follows the new inset
    setNeedsDisplay(true);
}

void TextView::invalidateTextContainerOrigin()
{
    m_textContainerOrigin = { m_textContainerInset.width, m_textContainerInset.height };
}

void TextView::setFrame(gfx::Rect frame)
{
    // Every change of size comes here (setFrameSize too), also one an interface file makes through the "frame" key.
    View::setFrame(frame);
    containerFollowsFrame();
}

void TextView::containerFollowsFrame()
{
    if (!m_textContainer)
        return;
    const auto size = frame().size;
    auto container = m_textContainer->containerSize();
    if (m_textContainer->widthTracksTextView())
        container.width = std::max(0.0, size.width - 2 * m_textContainerInset.width);
    if (m_textContainer->heightTracksTextView())
        container.height = std::max(0.0, size.height - 2 * m_textContainerInset.height);
    m_textContainer->setContainerSize(container);
}

// The text.

fnd::String TextView::string() const
{
    auto* storage = textStorage();
    return storage ? storage->string() : fnd::String();
}

void TextView::setString(const fnd::String& string)
{
    {
        struct SettingString {
            bool& flag;
            ~SettingString() { flag = false; }
        } setting { m_settingString = true };
        replaceCharactersInRange({ 0, textStorage() ? textStorage()->length() : 0 },
            txt::AttributedString(string, m_richText ? typingAttributes() : defaultAttributes()));
    }
    // A new text starts a new history, with the caret at its start.
    if (m_undoManager)
        m_undoManager->removeAllActions();
    m_typingUndo.reset();
    setSelectedRange({ 0, 0 });
}

void TextView::setAttributedString(const txt::AttributedString& text)
{
    if (m_richText) {
        replaceCharactersInRange({ 0, textStorage() ? textStorage()->length() : 0 }, text);
    } else {
        replaceCharactersInRange({ 0, textStorage() ? textStorage()->length() : 0 },
            txt::AttributedString(text.string(), defaultAttributes()));
    }
    m_typingUndo.reset();
    setSelectedRange({ 0, 0 });
}

void TextView::replaceCharactersInRange(fnd::Range range, const fnd::String& string)
{
    replaceCharactersInRange(range, attributedForInsertion(fnd::Value(string)));
}

void TextView::replaceCharactersInRange(fnd::Range range, const txt::AttributedString& text)
{
    auto* storage = textStorage();
    if (!storage)
        return;
    auto self = shared_from_this();
    detail::TextChange change(*this, range, text.length());
    m_changingText = true;
    storage->replaceCharactersInRange(range, text);
    m_changingText = false;
    // The selection keeps its place relative to the text around the change.
    auto adjust = [&](fnd::Index i) {
        if (i <= range.location)
            return i;
        if (i >= range.max())
            return i + text.length() - range.length;
        return range.location + text.length();
    };
    auto old = m_selectedRange;
    fnd::Range moved { adjust(old.location), 0 };
    moved.length = std::max<fnd::Index>(0, adjust(old.max()) - moved.location);
    m_markedRange = { fnd::NotFound, 0 };
    change.finish();
    if (moved == old)
        return;
    // A whole new text gets its caret at the start right after: a selection moved along elsewhere is only kept valid
    // till then (that change is announced once); one moved there already is announced now.
    if (m_settingString && moved != fnd::Range { 0, 0 })
        m_selectedRange = moved;
    else
        setSelectedRange(moved, m_affinity, false);
}

std::shared_ptr<txt::AttributedString> TextView::attributedSubstringFromRange(fnd::Range range) const
{
    auto* storage = textStorage();
    if (!storage)
        return std::make_shared<txt::AttributedString>();
    range = detail::clampRange(range, storage->length());
    return std::make_shared<txt::AttributedString>(storage->attributedSubstringFromRange(range));
}

void TextView::textStorageDidProcessEditing()
{
    auto* storage = textStorage();
    if (!storage)
        return;
    watchLayoutManager();
    if (m_changingText)
        return;
    // Someone else changed the text: keep the selection inside it, after the change when it fell inside.
    auto edited = storage->editedRange();
    auto delta = storage->changeInLength();
    const fnd::Index oldEnd = edited.max() - delta;
    auto adjust = [&](fnd::Index i) {
        if (i <= edited.location)
            return i;
        if (i >= oldEnd)
            return i + delta;
        return edited.max();
    };
    if (storage->editedMask() & txt::TextStorageEdited::Characters) {
        fnd::Range moved { adjust(m_selectedRange.location), 0 };
        moved.length = std::max<fnd::Index>(0, adjust(m_selectedRange.max()) - moved.location);
        moved.location = std::min(moved.location, storage->length());
        moved.length = std::min(moved.length, storage->length() - moved.location);
        m_selectedRange = moved;
        m_markedRange = { fnd::NotFound, 0 };
        m_typingUndo.reset();
    }
    m_externalEditPending = true;
}

void TextView::watchLayoutManager()
{
    auto manager = layoutManager();
    if (!manager)
        return;
    if (!m_layoutWatcher)
        m_layoutWatcher = std::make_shared<detail::TextViewLayoutWatcher>(*this);
    if (manager->delegate() != m_layoutWatcher)
        manager->setDelegate(m_layoutWatcher);
}

void TextView::layoutDidProcessEditing(fnd::Range range)
{
    if (!m_externalEditPending)
        return;
    m_externalEditPending = false;
    auto self = shared_from_this();
    auto* storage = textStorage();
    if (!storage)
        return;
    sizeToFit();
    if (range.location != fnd::NotFound && range.location <= storage->length()) {
        updateLinkLooks(txt::paragraphRangeForRange(storage->string(), detail::clampRange(range, storage->length())));
        // What changed and everything below it may have moved.
        auto top = rectForCharacterRange({ std::min(range.location, storage->length()), 0 });
        auto b = bounds();
        setNeedsDisplayInRect({ b.minX(), top.minY() - 1, b.width(), b.maxY() - top.minY() + 1 });
    } else {
        setNeedsDisplay(true);
    }
    updateSelectionHighlight();
}

// Behaviour.

void TextView::setEditable(bool flag)
{
    if (flag == m_editable)
        return;
    m_editable = flag;
    if (flag)
        m_selectable = true;
    updateInsertionPointStateAndRestartTimer(true);
    if (auto w = window())
        w->invalidateCursorRectsForView(*this);
}

void TextView::setSelectable(bool flag)
{
    if (flag == m_selectable)
        return;
    m_selectable = flag;
    if (!flag)
        m_editable = false;
    setNeedsDisplay(true);
}

void TextView::setRichText(bool flag)
{
    if (flag == m_richText)
        return;
    m_richText = flag;
    if (!flag) {
        // Plain text has one look: the first character's.
        if (auto* storage = textStorage(); storage && storage->length() > 0) {
            auto attributes = storage->attributesAtIndex(0);
            attributes.remove(txt::AttachmentAttributeName);
            attributes.remove(txt::LinkAttributeName);
            m_changingText = true;
            storage->setAttributes(attributes, { 0, storage->length() });
            m_changingText = false;
        }
        m_importsGraphics = false;
    }
}

void TextView::setFieldEditor(bool flag)
{
    m_fieldEditor = flag;
    if (flag)
        setFocusRingType(FocusRingType::None); // the control being edited shows the ring
}

void TextView::setUsesSecureTextEntry(bool flag)
{
    if (flag == m_secure)
        return;
    m_secure = flag;
    if (auto manager = layoutManager())
        manager->setMaskCharacter(flag ? U'\u2022' : 0);
    setNeedsDisplay(true);
}

// Looks.

txt::Attributes TextView::withDefaultAttributes(txt::Attributes attributes) const
{
    // Only what is missing is made: a field editor's typing attributes carry its cell's font and colour, and a
    // default looked up only to be replaced costs a font search and a colour each time the text is set.
    if (!attributes.contains(txt::FontAttributeName))
        attributes.set(txt::FontAttributeName, fnd::Value(m_font ? m_font : gfx::Font::userFontOfSize(12)));
    if (!attributes.contains(txt::ForegroundColorAttributeName))
        attributes.set(
            txt::ForegroundColorAttributeName, fnd::Value(m_textColor ? m_textColor : gfx::Color::textColor()));
    if (m_paragraphStyle && !attributes.contains(txt::ParagraphStyleAttributeName))
        attributes.set(txt::ParagraphStyleAttributeName, fnd::Value(m_paragraphStyle));
    return attributes;
}

std::shared_ptr<gfx::Font> TextView::font() const
{
    auto* storage = textStorage();
    if (storage && storage->length() > 0) {
        auto at = std::min(m_selectedRange.location, storage->length() - 1);
        if (auto font = storage->attributeAtIndex(txt::FontAttributeName, at).objectAs<gfx::Font>())
            return font;
    }
    if (auto font = typingAttributes().get(txt::FontAttributeName).objectAs<gfx::Font>())
        return font;
    return m_font ? m_font : gfx::Font::userFontOfSize(12);
}

void TextView::setFont(std::shared_ptr<gfx::Font> font)
{
    if (!font)
        return;
    m_font = font;
    if (auto* storage = textStorage(); storage && storage->length() > 0 && !wholeTextHas(txt::FontAttributeName, *font))
        setFontRange(font, { 0, storage->length() });
    m_typingAttributes.set(txt::FontAttributeName, fnd::Value(font));
}

void TextView::setFontRange(std::shared_ptr<gfx::Font> font, fnd::Range range)
{
    auto* storage = textStorage();
    if (!font || !storage)
        return;
    if (!m_richText)
        range = { 0, storage->length() };
    range = detail::clampRange(range, storage->length());
    if (range.length == 0)
        return;
    detail::TextChange change(*this, range, range.length);
    m_changingText = true;
    storage->addAttribute(txt::FontAttributeName, fnd::Value(font), range);
    m_changingText = false;
    change.finish();
}

gfx::ColorPtr TextView::textColor() const
{
    auto* storage = textStorage();
    if (storage && storage->length() > 0)
        if (auto color = storage->attributeAtIndex(txt::ForegroundColorAttributeName, 0).objectAs<gfx::Color>())
            return color;
    return m_textColor ? m_textColor : gfx::Color::textColor();
}

void TextView::setTextColor(gfx::ColorPtr color)
{
    m_textColor = color;
    if (auto* storage = textStorage();
        storage && storage->length() > 0 && !(color && wholeTextHas(txt::ForegroundColorAttributeName, *color)))
        setTextColorRange(color, { 0, storage->length() });
    if (color)
        m_typingAttributes.set(txt::ForegroundColorAttributeName, fnd::Value(color));
}

bool TextView::wholeTextHas(const fnd::String& name, const fnd::Object& value) const
{
    auto* storage = textStorage();
    if (!storage || storage->length() == 0)
        return false;
    fnd::Range run;
    auto current = storage->attributeAtIndex(name, 0, &run).object();
    return run.length == storage->length() && current && (current.get() == &value || current->isEqual(value));
}

void TextView::setTextColorRange(gfx::ColorPtr color, fnd::Range range)
{
    auto* storage = textStorage();
    if (!storage)
        return;
    range = detail::clampRange(range, storage->length());
    if (range.length == 0)
        return;
    detail::TextChange change(*this, range, range.length);
    m_changingText = true;
    if (color)
        storage->addAttribute(txt::ForegroundColorAttributeName, fnd::Value(color), range);
    else
        storage->removeAttribute(txt::ForegroundColorAttributeName, range);
    m_changingText = false;
    change.finish();
}

txt::TextAlignment TextView::alignment() const
{
    auto* storage = textStorage();
    if (storage && storage->length() > 0)
        if (auto style = storage->attributeAtIndex(txt::ParagraphStyleAttributeName, 0).objectAs<txt::ParagraphStyle>())
            return style->alignment();
    return m_paragraphStyle ? m_paragraphStyle->alignment() : txt::TextAlignment::Natural;
}

void TextView::setAlignment(txt::TextAlignment alignment)
{
    // A field editor is given its cell's alignment each time it starts editing, mostly the one it has.
    auto* current = textStorage();
    if (m_paragraphStyle && m_paragraphStyle->alignment() == alignment
        && m_typingAttributes.get(txt::ParagraphStyleAttributeName).object() == m_paragraphStyle
        && (!current || current->length() == 0 || wholeTextHas(txt::ParagraphStyleAttributeName, *m_paragraphStyle)))
        return;
    auto style = m_paragraphStyle ? m_paragraphStyle->mutableCopy() : txt::ParagraphStyle::defaultParagraphStyle();
    style->setAlignment(alignment);
    m_paragraphStyle = style;
    m_typingAttributes.set(txt::ParagraphStyleAttributeName, fnd::Value(style));
    auto* storage = textStorage();
    if (!storage || storage->length() == 0) {
        setNeedsDisplay(true);
        return;
    }
    fnd::Range all { 0, storage->length() };
    detail::TextChange change(*this, all, all.length);
    m_changingText = true;
    // Each paragraph keeps the rest of its style.
    fnd::Index i = 0;
    storage->beginEditing();
    while (i < all.length) {
        fnd::Range run;
        auto existing
            = storage->attributeAtIndex(txt::ParagraphStyleAttributeName, i, &run).objectAs<txt::ParagraphStyle>();
        auto changed = existing ? existing->mutableCopy() : txt::ParagraphStyle::defaultParagraphStyle();
        changed->setAlignment(alignment);
        storage->addAttribute(txt::ParagraphStyleAttributeName, fnd::Value(changed), run);
        i = run.max();
    }
    storage->endEditing();
    m_changingText = false;
    change.finish();
}

void TextView::setBackgroundColor(gfx::ColorPtr color)
{
    m_backgroundColor = std::move(color);
    setNeedsDisplay(true);
}

void TextView::setDrawsBackground(bool flag)
{
    if (flag == m_drawsBackground)
        return;
    m_drawsBackground = flag;
    setNeedsDisplay(true);
}

gfx::ColorPtr TextView::insertionPointColor() const
{
    return m_insertionPointColor ? m_insertionPointColor : ControlLook::textColor(true);
}

void TextView::setInsertionPointColor(gfx::ColorPtr color)
{
    m_insertionPointColor = std::move(color);
    setNeedsDisplayInRect(gfx::insetRect(insertionPointRect(), -2, 0));
}

void TextView::setSelectedTextAttributes(txt::Attributes attributes)
{
    m_selectedTextAttributes = std::move(attributes);
    updateSelectionHighlight();
}

void TextView::setMarkedTextAttributes(txt::Attributes attributes)
{
    m_markedTextAttributes = std::move(attributes);
    updateSelectionHighlight();
}

void TextView::setLinkTextAttributes(txt::Attributes attributes)
{
    m_linkTextAttributes = std::move(attributes);
    if (auto* storage = textStorage())
        updateLinkLooks({ 0, storage->length() });
    setNeedsDisplay(true);
}

txt::Attributes TextView::typingAttributes() const
{
    if (m_typingAttributesSet)
        return m_typingAttributes;
    auto* storage = textStorage();
    txt::Attributes attributes;
    if (!m_richText || !storage || storage->length() == 0)
        return withDefaultAttributes(m_typingAttributes);
    // The text before the caret (or the first character), without what belongs to one place only.
    auto at = m_selectedRange.location > 0 ? m_selectedRange.location - 1 : 0;
    at = std::min(at, storage->length() - 1);
    attributes = storage->attributesAtIndex(at);
    attributes.remove(txt::AttachmentAttributeName);
    attributes.remove(txt::LinkAttributeName);
    return attributes;
}

void TextView::setTypingAttributes(txt::Attributes attributes)
{
    m_typingAttributes = std::move(attributes);
    m_typingAttributesSet = true;
    fnd::NotificationCenter::defaultCenter().postNotificationName(
        TextNotification::DidChangeTypingAttributes, selfValue());
}

// Size and scrolling.

void TextView::sizeToFit()
{
    auto manager = layoutManager();
    if (!manager || !m_textContainer)
        return;
    auto used = manager->usedRectForTextContainer(*m_textContainer);
    auto extra = manager->extraLineFragmentUsedRect();
    if (manager->extraLineFragmentTextContainer() == m_textContainer.get())
        used = used.isEmpty() && used.width() == 0 && used.height() == 0 ? extra : gfx::unionRect(used, extra);
    auto size = frame().size;
    if (m_verticallyResizable)
        size.height = std::clamp(std::ceil(used.maxY() + 2 * m_textContainerInset.height), m_minSize.height,
            std::max(m_minSize.height, m_maxSize.height));
    if (m_horizontallyResizable)
        size.width = std::clamp(std::ceil(used.maxX() + 2 * m_textContainerInset.width), m_minSize.width,
            std::max(m_minSize.width, m_maxSize.width));
    if (size != frame().size)
        setFrameSize(size);
}

void TextView::scrollRangeToVisible(fnd::Range range)
{
    auto rect = rectForCharacterRange(range);
    if (rect.isEmpty() && rect.width() == 0 && rect.height() == 0)
        return;
    rect.size.width = std::max(rect.width(), 1.0);
    // A field editor scrolls its own bounds sideways within its cell; other views through their clip views.
    if (!m_fieldEditor) {
        scrollRectInEnclosingClipViews(rect);
        return;
    }
    auto b = bounds();
    double x = b.minX();
    if (rect.maxX() > b.maxX())
        x = rect.maxX() - b.width();
    if (rect.minX() < x)
        x = rect.minX();
    // Never further than the text needs.
    if (auto manager = layoutManager()) {
        auto used = manager->usedRectForTextContainer(*m_textContainer);
        x = std::min(x, std::max(0.0, used.maxX() + 2 * m_textContainerInset.width + 1 - b.width()));
    }
    x = std::max(0.0, x);
    if (x != b.minX()) {
        setBoundsOrigin({ x, b.minY() });
        setNeedsDisplay(true);
    }
}

void TextView::centerSelectionInVisibleArea(const fnd::Value&)
{
    if (!enclosingScrollView()) {
        scrollRangeToVisible(m_selectedRange);
        return;
    }
    // The selection's middle goes to the middle of the visible area (as far as the clip view may go): a rect of the
    // visible area's size around it, scrolled into view, lines up with it.
    auto rect = rectForCharacterRange(m_selectedRange);
    auto visible = visibleRect();
    scrollRectInEnclosingClipViews(
        { visible.minX(), rect.midY() - visible.height() / 2, visible.width(), visible.height() });
}

gfx::Rect TextView::rectForCharacterRange(fnd::Range range) const
{
    auto manager = layoutManager();
    if (!manager || !m_textContainer)
        return {};
    gfx::Rect all;
    bool any = false;
    for (auto r : manager->rectsForCharacterRange(range, *m_textContainer)) {
        r.origin.x += m_textContainerOrigin.x;
        r.origin.y += m_textContainerOrigin.y;
        all = any ? gfx::unionRect(all, r) : r;
        any = true;
    }
    return all;
}

void TextView::setNeedsDisplayForRange(fnd::Range range)
{
    auto manager = layoutManager();
    if (!manager || !m_textContainer)
        return;
    auto* storage = textStorage();
    range = detail::clampRange(range, storage ? storage->length() : 0);
    gfx::Rect dirty;
    bool any = false;
    auto add = [&](gfx::Rect r) {
        r.origin.x = 0;
        r.size.width = bounds().maxX() + 1;
        r.origin.y += m_textContainerOrigin.y;
        dirty = any ? gfx::unionRect(dirty, r) : r;
        any = true;
    };
    if (range.length > 0) {
        add(manager->lineFragmentRectForGlyphAtIndex(range.location));
        add(manager->lineFragmentRectForGlyphAtIndex(range.max() - 1));
    }
    for (const auto& r : manager->rectsForCharacterRange({ range.max(), 0 }, *m_textContainer))
        add(r);
    if (any)
        setNeedsDisplayInRect(gfx::insetRect(dirty, 0, -1));
}

// Drawing.

namespace {

thread_local TextView* drawingView = nullptr;

}

TextView* TextView::viewBeingDrawn()
{
    return drawingView;
}

bool TextView::isOpaque() const
{
    return m_drawsBackground && m_backgroundColor && m_backgroundColor->alphaComponent() >= 1;
}

void TextView::drawBackgroundInRect(gfx::Rect rect)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context || !m_backgroundColor)
        return;
    context->setFillColor(*m_backgroundColor);
    context->fillRect(rect);
}

void TextView::drawRect(gfx::Rect dirtyRect)
{
    if (m_drawsBackground)
        drawBackgroundInRect(dirtyRect);
    auto manager = layoutManager();
    if (!manager || !m_textContainer)
        return;
    gfx::Rect inContainer { dirtyRect.minX() - m_textContainerOrigin.x, dirtyRect.minY() - m_textContainerOrigin.y,
        dirtyRect.width(), dirtyRect.height() };
    auto glyphs = manager->glyphRangeForBoundingRect(inContainer, *m_textContainer);
    auto* previous = drawingView;
    drawingView = this;
    auto self = shared_from_this();
    if (glyphs.length > 0) {
        manager->drawBackgroundForGlyphRange(glyphs, m_textContainerOrigin);
        manager->drawGlyphsForGlyphRange(glyphs, m_textContainerOrigin);
    }
    drawingView = previous;
    if (m_dropIndex != fnd::NotFound) {
        // Where dragged text would go.
        auto saved = m_selectedRange;
        m_selectedRange = { m_dropIndex, 0 };
        auto caret = insertionPointRect();
        m_selectedRange = saved;
        drawInsertionPointInRect(caret, *insertionPointColor(), true);
    }
    if (shouldDrawInsertionPoint() && m_insertionPointOn) {
        auto caret = insertionPointRect();
        if (gfx::intersectsRect(gfx::insetRect(caret, -1, 0), dirtyRect))
            drawInsertionPointInRect(caret, *insertionPointColor(), true);
    }
}

bool TextView::shouldDrawInsertionPoint() const
{
    return m_editable && m_selectedRange.length == 0 && isKeyFocus();
}

void TextView::drawInsertionPointInRect(gfx::Rect rect, const gfx::Color& color, bool turnedOn)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context || !turnedOn)
        return;
    context->saveGraphicsState();
    context->setFillColor(color);
    // One point wide, on whole points so it stays sharp.
    context->fillRect({ std::floor(rect.minX()), rect.minY(), 1, rect.height() });
    context->restoreGraphicsState();
}

gfx::Rect TextView::insertionPointRect() const
{
    if (m_selectedRange.length != 0)
        return {};
    auto manager = layoutManager();
    if (!manager || !m_textContainer)
        return {};
    auto index = m_selectedRange.location;
    std::vector<gfx::Rect> rects;
    // A caret at the start of a wrapped line with upstream affinity stands at the end of the line above.
    if (m_affinity == SelectionAffinity::Upstream && index > 0 && textStorage() && index <= textStorage()->length()) {
        fnd::Range line;
        manager->lineFragmentRectForGlyphAtIndex(index - 1, &line);
        if (line.max() == index) {
            auto previous = manager->rectsForCharacterRange({ index - 1, 1 }, *m_textContainer);
            auto c = textStorage()->string().units()[static_cast<std::size_t>(index - 1)];
            if (!previous.empty() && !txt::isParagraphSeparator(c) && !txt::isLineSeparator(c))
                rects = { gfx::Rect { previous.back().maxX(), previous.back().minY(), 0, previous.back().height() } };
        }
    }
    if (rects.empty())
        rects = manager->rectsForCharacterRange({ index, 0 }, *m_textContainer);
    if (rects.empty())
        return {};
    auto r = rects.front();
    return { r.minX() + m_textContainerOrigin.x, r.minY() + m_textContainerOrigin.y, 1, r.height() };
}

// The caret blinks while the view has the keyboard in the key window.

bool TextView::isKeyFocus() const
{
    auto w = window();
    if (!w || !w->isKeyWindow() || m_resigning)
        return false;
    // While becoming first responder the window does not name the view yet.
    return m_becoming || w->firstResponder().get() == this;
}

void TextView::updateInsertionPointStateAndRestartTimer(bool restartFlag)
{
    bool wasOn = m_insertionPointOn;
    m_insertionPointOn = true;
    if (restartFlag)
        restartBlinkTimer();
    if (!wasOn || restartFlag)
        setNeedsDisplayInRect(gfx::insetRect(insertionPointRect(), -2, 0));
}

void TextView::restartBlinkTimer()
{
    if (!shouldDrawInsertionPoint()) {
        stopBlinkTimer();
        return;
    }
    // Every keystroke and caret move restarts the beat: the running timer moves its next firing rather than a new
    // timer being made and scheduled each time.
    if (m_blinkTimer && m_blinkTimer->isValid()) {
        m_blinkTimer->setFireDate(fnd::Clock::current()->now().addingTimeInterval(detail::InsertionPointBlinkPeriod));
        return;
    }
    std::weak_ptr<TextView> weak = std::static_pointer_cast<TextView>(weak_from_this().lock());
    m_blinkTimer = fnd::Timer::create(detail::InsertionPointBlinkPeriod, true, [weak](fnd::Timer&) {
        if (auto view = weak.lock())
            view->blink();
    });
    fnd::RunLoop::current().addTimer(m_blinkTimer, fnd::RunLoopMode::Default);
}

void TextView::stopBlinkTimer()
{
    if (m_blinkTimer) {
        m_blinkTimer->invalidate();
        m_blinkTimer.reset();
    }
}

void TextView::blink()
{
    if (!shouldDrawInsertionPoint()) {
        stopBlinkTimer();
        m_insertionPointOn = true;
        return;
    }
    m_insertionPointOn = !m_insertionPointOn;
    setNeedsDisplayInRect(gfx::insetRect(insertionPointRect(), -2, 0));
}

bool TextView::becomeFirstResponder()
{
    if (!isSelectable())
        return false;
    auto self = shared_from_this();
    m_becoming = true;
    updateSelectionHighlight();
    setNeedsDisplayForRange(m_selectedRange);
    updateInsertionPointStateAndRestartTimer(true);
    m_becoming = false;
    return true;
}

bool TextView::resignFirstResponder()
{
    auto self = shared_from_this();
    if (!m_endingEditing && (m_fieldEditor || m_editingBegan)) {
        if (m_fieldEditor) {
            if (!endEditingWithMovement(TextMovement::Other))
                return false;
        } else {
            if (m_editable && !m_forceEndEditing)
                if (auto d = delegate(); d && !d->textShouldEndEditing(*this))
                    return false;
            unmarkText();
            m_editingBegan = false;
            auto note = std::make_shared<fnd::Notification>(TextNotification::DidEndEditing, selfValue());
            fnd::NotificationCenter::defaultCenter().postNotification(note);
            if (auto d = delegate())
                d->textDidEndEditing(*note);
        }
    }
    stopBlinkTimer();
    m_insertionPointOn = true;
    setNeedsDisplayInRect(gfx::insetRect(insertionPointRect(), -2, 0));
    // The selection turns grey once the view no longer has the keyboard.
    m_resigning = true;
    updateSelectionHighlight();
    m_resigning = false;
    return true;
}

bool TextView::scrollRectInEnclosingClipViews(gfx::Rect rect)
{
    return View::scrollRectToVisible(rect);
}

void TextView::keyStatusChanged()
{
    updateSelectionHighlight();
    updateInsertionPointStateAndRestartTimer(true);
}

void TextView::viewDidMoveToWindow()
{
    View::viewDidMoveToWindow();
    auto w = window();
    if (!w) {
        stopBlinkTimer();
        return;
    }
    registerForDraggedTypes(*this, acceptableDragTypes());
    // The selection's colour and the caret follow the window's key status. The observers match the window the view
    // is in when the notification comes, so they stay from the view's first window on (a field editor moves in and
    // out of its window with every cell it edits); the destructor removes them. They match by hand, because an
    // observer's object would keep the window alive.
    if (!m_windowObservers.empty())
        return;
    auto& center = fnd::NotificationCenter::defaultCenter();
    for (const auto& name : { WindowNotification::DidBecomeKey, WindowNotification::DidResignKey })
        m_windowObservers.push_back(center.addObserverForName(name, {}, [this](const fnd::Notification& n) {
            if (auto current = window(); current && n.object().object().get() == current.get())
                keyStatusChanged();
        }));
}

// What a change of the view's own did to the lines.

namespace detail {

void TextViewLayoutWatcher::layoutManagerDidProcessEditing(txt::LayoutManager&, unsigned, fnd::Range range, fnd::Index)
{
    m_view.layoutDidProcessEditing(range);
}

TextChange::TextChange(TextView& view, fnd::Range oldRange, fnd::Index newLength)
    : m_view(view)
    , m_oldRange(oldRange)
    , m_newLength(newLength)
{
    m_oldBottom = textBottom();
    m_oldRect = paragraphRect(oldRange);
    auto caret = view.rectForCharacterRange(view.m_selectedRange);
    m_oldRect = m_oldRect.isEmpty() ? caret : gfx::unionRect(m_oldRect, caret);
}

double TextChange::textBottom() const
{
    auto manager = m_view.layoutManager();
    if (!manager || !m_view.m_textContainer)
        return 0;
    auto used = manager->usedRectForTextContainer(*m_view.m_textContainer);
    return std::max(used.maxY(), manager->extraLineFragmentRect().maxY());
}

gfx::Rect TextChange::paragraphRect(fnd::Range range) const
{
    auto* storage = m_view.textStorage();
    auto manager = m_view.layoutManager();
    if (!storage || !manager)
        return {};
    auto n = storage->length();
    range = { std::min(range.location, n), std::min(range.length, n - std::min(range.location, n)) };
    auto paragraphs = txt::paragraphRangeForRange(storage->string(), range);
    gfx::Rect all;
    bool any = false;
    auto add = [&](gfx::Rect r) {
        all = any ? gfx::unionRect(all, r) : r;
        any = true;
    };
    if (paragraphs.length > 0) {
        add(manager->lineFragmentRectForGlyphAtIndex(paragraphs.location));
        add(manager->lineFragmentRectForGlyphAtIndex(paragraphs.max() - 1));
    }
    if (paragraphs.max() == n && !manager->extraLineFragmentRect().isEmpty())
        add(manager->extraLineFragmentRect());
    if (!any)
        return {};
    return { 0, all.minY() + m_view.m_textContainerOrigin.y, m_view.bounds().maxX() + 1, all.height() };
}

void TextChange::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    auto& view = m_view;
    view.m_externalEditPending = false;
    view.sizeToFit();
    double newBottom = textBottom();
    auto changed = paragraphRect({ m_oldRange.location, m_newLength });
    auto dirty = changed.isEmpty() ? m_oldRect : (m_oldRect.isEmpty() ? changed : gfx::unionRect(changed, m_oldRect));
    if (newBottom != m_oldBottom) {
        // The lines below moved: everything from the change down.
        auto b = view.bounds();
        dirty = { b.minX(), dirty.minY(), b.width(), b.maxY() - dirty.minY() };
    }
    view.setNeedsDisplayInRect(gfx::insetRect(dirty, 0, -1));
    if (auto* storage = view.textStorage(); storage && m_oldRange.location <= storage->length())
        view.updateLinkLooks(txt::paragraphRangeForRange(storage->string(),
            { m_oldRange.location, std::min(m_newLength, storage->length() - m_oldRange.location) }));
}

}

}
