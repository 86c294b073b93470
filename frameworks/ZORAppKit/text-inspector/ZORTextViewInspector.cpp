#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspector.h"

#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorLayout.h"

#include "platform/foundation/bindings/ArrayController.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/Timer.h"
#include "platform/graphics/Image.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/ButtonCell.h"
#include "platform/ui/interface/InterfaceFile.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/views/StandardImages.h"
#include "platform/ui/views/Window.h"

#include <cmath>
#include <fmt/format.h>
#include <mutex>

FND_REGISTER_CLASS(ZORTextViewInspector, ui::TextView)
FND_REGISTER_CLASS(ZORTextViewInspectorViewController, fnd::Object)

namespace {
double ZORTextViewInspectorMinLabelWidth = 0;
}

void ZORTextViewInspector::describeClass(fnd::ClassBuilder<ZORTextViewInspector>& c)
{
    // Interface files give the field list as an array or add fields one by one as children.
    c.property(
        "fields",
        [](const ZORTextViewInspector& inspector) {
            fnd::Array fields;
            for (const auto& field : inspector.fieldsArray())
                fields.push_back(fnd::Value(field));
            return fields;
        },
        [](ZORTextViewInspector& inspector, const fnd::Array& fields) {
            std::vector<ZORTextViewInspectorFieldPtr> list;
            for (const auto& value : fields) {
                auto field = value.objectAs<ZORTextViewInspectorField>();
                if (!field)
                    throw fnd::Exception::invalidArgument(
                        fnd::String(fmt::format("{} is not an inspector field.", value.description().utf8())));
                list.push_back(field);
            }
            inspector.removeAllFields();
            inspector.addFieldsArray(list);
        });
    c.action("addField:", &ZORTextViewInspector::addField);
    c.property("editableState", &ZORTextViewInspector::editableState, &ZORTextViewInspector::setEditableState);
    c.property(
        "inspectorDelegate",
        [](const ZORTextViewInspector& inspector) {
            return std::dynamic_pointer_cast<fnd::Object>(inspector.inspectorDelegate());
        },
        [](ZORTextViewInspector& inspector, const std::shared_ptr<fnd::Object>& object) {
            auto delegate = std::dynamic_pointer_cast<ZORTextViewInspectorDelegate>(object);
            if (object && !delegate)
                throw fnd::Exception::invalidArgument(
                    fnd::String(fmt::format("A {} is not an inspector delegate.", object->className().utf8())));
            inspector.setInspectorDelegate(delegate);
        });
    c.action("addListRow:", &ZORTextViewInspector::addListRow);
    c.action("removeListRow:", &ZORTextViewInspector::removeListRow);
    c.action("doCompletion:", &ZORTextViewInspector::doCompletion);
}

ZORTextViewInspector::~ZORTextViewInspector()
{
    stopCompletionTimer();
    if (m_windowCloseObserver)
        fnd::NotificationCenter::defaultCenter().removeObserver(*m_windowCloseObserver);
}

std::shared_ptr<ZORTextViewInspector> ZORTextViewInspector::create(gfx::Rect frame)
{
    return ui::makeView<ZORTextViewInspector>(frame);
}

void ZORTextViewInspector::initWithFrame(gfx::Rect frame)
{
    // The inspector owns a text system whose layout manager lays its fields out.
    m_storage = std::make_shared<txt::TextStorage>();
    auto manager = fnd::makeObject<ZORTextViewInspectorLayoutManager>();
    auto container = std::make_shared<txt::TextContainer>(gfx::Size { std::max(0.0, frame.width()), 1e7 });
    container->setWidthTracksTextView(true);
    manager->addTextContainer(container);
    m_storage->addLayoutManager(manager);
    initWithFrame(frame, container);
}

void ZORTextViewInspector::initWithFrame(gfx::Rect frame, const std::shared_ptr<txt::TextContainer>& container)
{
    ui::TextView::initWithFrame(frame, container);
    commonInitialize();
    // Made in code or by name, the inspector works at once, without waiting for awakeFromNib.
    installLayoutCompanions();
}

void ZORTextViewInspector::commonInitialize()
{
    m_currentEditedStartLocation = fnd::NotFound;
    m_currentRolloverRange = { fnd::NotFound, 0 };
    m_fieldsArray.clear();
    m_visibleFieldsArray.clear();
    m_fieldEditingCounter = 0;
    m_maxLabelWidth = 0;
    m_editableState = false;
    m_showNoSelection = true;
    m_selectedRect = {};
    m_completionTimer.reset();
    m_nextInsertionIndex = fnd::NotFound;
    m_displayMode = ZORInspectorDisplayMode::Fields;
    setImportsGraphics(false);
}

void ZORTextViewInspector::awakeFromNib()
{
    installLayoutCompanions();
}

void ZORTextViewInspector::installLayoutCompanions()
{
    auto manager = std::dynamic_pointer_cast<ZORTextViewInspectorLayoutManager>(layoutManager());
    if (!manager && textContainer()) {
        // Loaded from an interface file with a plain layout manager: ours takes its place over the same storage.
        auto* storage = textStorage();
        auto old = layoutManager();
        manager = fnd::makeObject<ZORTextViewInspectorLayoutManager>();
        auto container = textContainer();
        if (storage && old) {
            auto keep = storage->shared_from_this();
            storage->removeLayoutManager(*old);
            manager->addTextContainer(container);
            storage->addLayoutManager(manager);
            setTextContainer(container);
        }
    }
    if (manager && !std::dynamic_pointer_cast<ZORTextViewInspectorTypesetter>(manager->typesetter())) {
        manager->setInspector(self());
        auto typesetter = fnd::makeObject<ZORTextViewInspectorTypesetter>();
        typesetter->setInspector(self());
        manager->setTypesetter(typesetter);
    }
    setAllowsUndo(false);
    setupUI();
}

void ZORTextViewInspector::setupUI()
{
    setDelegate(std::dynamic_pointer_cast<ui::TextViewDelegate>(shared_from_this()));
}

void ZORTextViewInspector::viewWillMoveToWindow(ui::Window* window)
{
    ui::TextView::viewWillMoveToWindow(window);
    if (!window)
        return;
    window->setAcceptsMouseMovedEvents(true);
    if (m_windowCloseObserver)
        return;
    // The window is matched by hand: an observer's object would keep it alive. The destructor removes the
    // observer, so `this` outlives it.
    m_windowCloseObserver = fnd::NotificationCenter::defaultCenter().addObserverForName(
        ui::WindowNotification::WillClose, {}, [this](const fnd::Notification& n) {
            if (auto current = this->window(); current && n.object().object().get() == current.get() && isEditing()) {
                auto keep = shared_from_this();
                endEditing();
            }
        });
}

// Fields.

void ZORTextViewInspector::addField(const ZORTextViewInspectorFieldPtr& field)
{
    addFieldsArray({ field });
}

// Ends as adding each field in turn would, but the text is rebuilt once rather than once per field: a list of many
// fields would otherwise lay the whole text out again for each.
void ZORTextViewInspector::addFieldsArray(const std::vector<ZORTextViewInspectorFieldPtr>& fields)
{
    bool added = false;
    for (const auto& field : fields) {
        if (!field)
            continue;
        m_fieldsArray.push_back(field);
        if (std::dynamic_pointer_cast<ZORTextViewInspectorListField>(field))
            field->setDelegate(shared_from_this());
        added = true;
    }
    if (!added)
        return;
    updateTextFieldStorage();
    if (auto* storage = textStorage(); storage && storage->length() > 0 && m_fieldEditingCounter == 0)
        storage->addAttributes(tabStopAttributes(), { 0, storage->length() });
}

void ZORTextViewInspector::removeAllFields()
{
    endEditing();
    // Every hosted view goes, the pop-ups and row buttons included, and nothing is left counted as visible.
    auto views = subviews();
    for (const auto& view : views)
        view->removeFromSuperview();
    m_fieldsArray.clear();
    m_visibleFieldsArray.clear();
    if (auto* storage = textStorage())
        storage->replaceCharactersInRange({ 0, storage->length() }, fnd::String());
}

std::vector<ZORTextViewInspectorFieldPtr> ZORTextViewInspector::fieldsWithIdentifier(
    const fnd::String& identifier) const
{
    std::vector<ZORTextViewInspectorFieldPtr> found;
    for (const auto& field : m_fieldsArray)
        if (field->identifier() == identifier)
            found.push_back(field);
    return found;
}

ZORTextViewInspectorFieldPtr ZORTextViewInspector::firstFieldWithIdentifier(const fnd::String& identifier) const
{
    for (const auto& field : m_fieldsArray)
        if (field->identifier() == identifier)
            return field;
    return nullptr;
}

void ZORTextViewInspector::setObjectValueForFieldWithIdentifier(const fnd::Value& value, const fnd::String& identifier)
{
    auto field = firstFieldWithIdentifier(identifier);
    if (!field) {
        fnd::log(fnd::String::format("ZORTextViewInspector: could not set object value for field with identifier: %@",
            { fnd::Value(identifier) }));
        return;
    }
    field->setValue(value);
    updateTextFieldStorage();
}

void ZORTextViewInspector::setValueForFieldWithIdentifier(const fnd::Value& value, const fnd::String& identifier)
{
    auto field = firstFieldWithIdentifier(identifier);
    if (!field) {
        fnd::log(fnd::String::format(
            "ZORTextViewInspector: could not set value for field with identifier: %@", { fnd::Value(identifier) }));
        return;
    }
    field->setValue(value);
    updateTextFieldStorage();
}

void ZORTextViewInspector::beginFieldEditing()
{
    ++m_fieldEditingCounter;
}

void ZORTextViewInspector::endFieldEditing()
{
    if (m_fieldEditingCounter-- <= 1) {
        m_fieldEditingCounter = 0;
        recreateFieldTextStorage();
    }
}

// State.

void ZORTextViewInspector::setEditableState(bool flag)
{
    m_editableState = flag;
    if (isEditing())
        endEditing();
    if (m_fieldEditingCounter == 0 && m_displayMode == ZORInspectorDisplayMode::Fields)
        recreateFieldTextStorage();
}

void ZORTextViewInspector::allFieldsShouldShowNoSelection(bool flag)
{
    if (m_showNoSelection == flag)
        return;
    m_showNoSelection = flag;
    recreateFieldTextStorage();
}

void ZORTextViewInspector::setDisplaymode(ZORInspectorDisplayMode mode)
{
    if (mode == m_displayMode)
        return;
    m_displayMode = mode;
    if (mode == ZORInspectorDisplayMode::Fields) {
        recreateFieldTextStorage();
        return;
    }
    std::shared_ptr<ui::View> shown;
    if (mode == ZORInspectorDisplayMode::NoSelection)
        shown = ZORTextViewInspectorViewController::noSelectionView();
    else if (mode == ZORInspectorDisplayMode::MultipleSelection)
        shown = ZORTextViewInspectorViewController::multipleSelectionView();
    removeSubviewsAndEmptyTextStorage();
    if (!shown)
        return;
    auto size = shown->frame().size;
    auto x = std::trunc(static_cast<float>((frame().width() - size.width) * 0.5));
    auto y = std::trunc(static_cast<float>((frame().height() - size.height) * 0.5));
    shown->setFrame({ x, y, size.width, size.height });
    addSubview(shown);
}

void ZORTextViewInspector::setInspectorDelegate(const std::shared_ptr<ZORTextViewInspectorDelegate>& delegate)
{
    m_inspectorDelegate = delegate;
}

void ZORTextViewInspector::setMinFieldLabelWidth(double width)
{
    ZORTextViewInspectorMinLabelWidth = width;
}

double ZORTextViewInspector::minFieldLabelWidth()
{
    return ZORTextViewInspectorMinLabelWidth;
}

// List rows.

namespace {
std::shared_ptr<ui::Button> ZORTextViewInspectorRowButton(const fnd::String& imageName)
{
    auto button = ui::Button::create({ 0, 3, 16, 18 }, "");
    button->setBezelStyle(ui::BezelStyle::TexturedSquare);
    button->setImageScaling(ui::ImageScaling::ProportionallyDown);
    button->setButtonType(ui::ButtonType::MomentaryPushIn);
    button->setImagePosition(ui::CellImagePosition::ImageOnly);
    button->setBordered(true);
    button->setControlSize(ui::ControlSize::Mini);
    // Made (and registered) on first use: looking the name up alone finds nothing until something made it.
    button->setImage(ui::standardImage(imageName));
    return button;
}
}

std::shared_ptr<ui::Button> ZORTextViewInspector::addButton()
{
    return ZORTextViewInspectorRowButton("NSAddTemplate");
}

std::shared_ptr<ui::Button> ZORTextViewInspector::removeButton()
{
    return ZORTextViewInspectorRowButton("NSRemoveTemplate");
}

bool ZORTextViewInspector::shouldDisplayAddButtonForListField(
    ZORTextViewInspectorListField& list, ZORTextViewInspectorField&, std::size_t) const
{
    return list.canAdd() && list.isEditable() && m_editableState;
}

bool ZORTextViewInspector::shouldDisplayRemoveButtonForListField(
    ZORTextViewInspectorListField& list, ZORTextViewInspectorField& row, std::size_t index) const
{
    return (list.canRemove() || row.value().isNil()) && index != 0 && list.isEditable() && m_editableState;
}

void ZORTextViewInspector::addListRow(const fnd::Value& sender)
{
    auto button = sender.objectAs<ui::Button>();
    auto row = button && button->cell() ? button->cell()->representedObject().objectAs<ZORTextViewInspectorField>()
                                        : nullptr;
    auto list = row ? std::dynamic_pointer_cast<ZORTextViewInspectorListField>(row->compoundField()) : nullptr;
    if (!row || !list)
        return;
    auto keep = shared_from_this();
    std::size_t index = 0;
    if (!list->allRows().empty()) {
        auto at = list->indexOfField(*row);
        index = at == fnd::NotFound ? list->allRows().size() : static_cast<std::size_t>(at) + 1;
    }
    list->insertRowAtIndex(index, row->label());
    jumpToField(list->rowAtIndex(index));
}

void ZORTextViewInspector::removeListRow(const fnd::Value& sender)
{
    auto button = sender.objectAs<ui::Button>();
    auto row = button && button->cell() ? button->cell()->representedObject().objectAs<ZORTextViewInspectorField>()
                                        : nullptr;
    auto list = row ? std::dynamic_pointer_cast<ZORTextViewInspectorListField>(row->compoundField()) : nullptr;
    if (!row || !list || list->allRows().empty())
        return;
    auto keep = shared_from_this();
    auto index = list->indexOfField(*row);
    if (index == fnd::NotFound)
        return;
    auto controller = std::dynamic_pointer_cast<fnd::ArrayController>(list->observableController());
    // A row standing for an object removes the object at the row's own place (equal objects may stand in other
    // rows; empty rows between them have no place in the controller); the controller's removal notice takes the
    // row out, once.
    if (auto at = list->controllerIndexOfRow(static_cast<std::size_t>(index));
        controller && at && *at < controller->arrangedObjects().size()) {
        controller->removeObjectAtArrangedObjectIndex(static_cast<fnd::Index>(*at));
        return;
    }
    list->removeRowAtIndex(static_cast<std::size_t>(index));
}

// Attribute sets.

std::shared_ptr<gfx::Font> ZORTextViewInspector::labelFont()
{
    static const auto font = gfx::Font::boldSystemFontOfSize(11);
    return font;
}

const txt::Attributes& ZORTextViewInspector::labelAttributes()
{
    static const txt::Attributes attributes {
        { txt::FontAttributeName, fnd::Value(labelFont()) },
        { txt::ForegroundColorAttributeName, fnd::Value(gfx::Color::darkGrayColor()) },
        { ZORTextInspectorAttribute::Label, fnd::Value(fnd::String()) },
    };
    return attributes;
}

namespace {
std::shared_ptr<gfx::Font> ZORTextViewInspectorValueFont(const ZORTextViewInspectorField* field)
{
    auto* text = dynamic_cast<const ZORTextViewInspectorTextField*>(field);
    double size = text && text->overrideFontSizeWithPointSize() > 0 ? text->overrideFontSizeWithPointSize() : 11;
    return gfx::Font::systemFontOfSize(size);
}
}

txt::Attributes ZORTextViewInspector::placeholderValueAttributesWithValue(
    const std::optional<fnd::String>& value, const ZORTextViewInspectorField* field) const
{
    txt::Attributes attributes { { txt::FontAttributeName, fnd::Value(ZORTextViewInspectorValueFont(field)) },
        { txt::ForegroundColorAttributeName, fnd::Value(gfx::Color::grayColor()) } };
    if (value)
        attributes.set(ZORTextInspectorAttribute::PlaceholderValue, fnd::Value(*value));
    return attributes;
}

txt::Attributes ZORTextViewInspector::typingAttributesForPlaceholderValue(
    const std::optional<fnd::String>& value, const ZORTextViewInspectorField* field) const
{
    txt::Attributes attributes { { txt::FontAttributeName, fnd::Value(ZORTextViewInspectorValueFont(field)) },
        { txt::ForegroundColorAttributeName, fnd::Value(gfx::Color::blackColor()) } };
    if (value)
        attributes.set(ZORTextInspectorAttribute::PlaceholderValue, fnd::Value(*value));
    return attributes;
}

txt::Attributes ZORTextViewInspector::replacementStringAttributes()
{
    return { { txt::FontAttributeName, fnd::Value(gfx::Font::systemFontOfSize(11)) },
        { txt::ForegroundColorAttributeName, fnd::Value(gfx::Color::blackColor()) } };
}

txt::Attributes ZORTextViewInspector::tabStopAttributes() const
{
    auto style = txt::ParagraphStyle::defaultParagraphStyle()->mutableCopy();
    style->setTabStops(
        { { txt::TextTabType::Right, m_maxLabelWidth - 10 }, { txt::TextTabType::Left, m_maxLabelWidth } });
    style->setParagraphSpacing(7.0);
    style->setLineBreakMode(txt::LineBreakMode::ByWordWrapping);
    style->setHeadIndent(m_maxLabelWidth);
    return { { txt::ParagraphStyleAttributeName, fnd::Value(std::static_pointer_cast<fnd::Object>(style)) } };
}

const txt::Attributes& ZORTextViewInspector::rolloverAttributes()
{
    static const txt::Attributes attributes { { txt::ForegroundColorAttributeName,
        fnd::Value(gfx::Color::whiteColor()) } };
    return attributes;
}

// Shared views.

namespace {
std::mutex ZORTextViewInspectorViewControllerLock;
std::shared_ptr<ZORTextViewInspectorViewController> ZORTextViewInspectorViewControllerShared;
}

void ZORTextViewInspectorViewController::describeClass(fnd::ClassBuilder<ZORTextViewInspectorViewController>& c)
{
    c.property("noSelectionView", &ZORTextViewInspectorViewController::m_noSelectionView);
    c.property("multipleSelectionView", &ZORTextViewInspectorViewController::m_multipleSelectionView);
}

std::shared_ptr<ZORTextViewInspectorViewController>
ZORTextViewInspectorViewController::sharedTextViewInspectorViewController()
{
    std::lock_guard lock(ZORTextViewInspectorViewControllerLock);
    if (!ZORTextViewInspectorViewControllerShared) {
        auto made = fnd::makeObject<ZORTextViewInspectorViewController>();
        made->load();
        ZORTextViewInspectorViewControllerShared = made;
    }
    return ZORTextViewInspectorViewControllerShared;
}

void ZORTextViewInspectorViewController::load()
{
    auto loaded = ui::InterfaceFile::loadNamed("ZORTextViewInspectorViewController", shared_from_this());
    if (!loaded)
        throw fnd::Exception(
            "View initialization failed", "ZORTextViewInspectorViewController: Could not load views resources!");
    // The views' texts come from the inspector's string table.
    auto title = [](const std::shared_ptr<ui::View>& view, const fnd::String& key) {
        if (!view)
            return;
        for (const auto& subview : view->subviews())
            if (auto field = std::dynamic_pointer_cast<ui::TextField>(subview))
                field->setStringValue(ZORTextViewInspectorLocalizedString(key));
    };
    title(m_noSelectionView, "ZORTextViewInspectorNoSelection");
    title(m_multipleSelectionView, "ZORTextViewInspectorMultipleSelection");
}

std::shared_ptr<ui::View> ZORTextViewInspectorViewController::noSelectionView()
{
    return sharedTextViewInspectorViewController()->m_noSelectionView;
}

std::shared_ptr<ui::View> ZORTextViewInspectorViewController::multipleSelectionView()
{
    return sharedTextViewInspectorViewController()->m_multipleSelectionView;
}

void ZORTextViewInspectorViewController::setSharedViews(
    std::shared_ptr<ui::View> noSelection, std::shared_ptr<ui::View> multipleSelection)
{
    auto shared = sharedTextViewInspectorViewController();
    std::lock_guard lock(ZORTextViewInspectorViewControllerLock);
    if (!noSelection && !multipleSelection) {
        shared->load();
        return;
    }
    shared->m_noSelectionView = std::move(noSelection);
    shared->m_multipleSelectionView = std::move(multipleSelection);
}
