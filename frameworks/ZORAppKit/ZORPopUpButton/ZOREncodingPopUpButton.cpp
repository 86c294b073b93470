#include "frameworks/ZORAppKit/ZORPopUpButton/ZOREncodingPopUpButton.h"

#include "frameworks/FoundationExtensions/ui/ZOREncodingManager.h"

#include "platform/foundation/runtime/NotificationCenter.h"

namespace {

const fnd::Selector EncodingsListChangedAction("encodingsListChanged:");

}

// After the names describeClass uses, which must be made first.
FND_REGISTER_CLASS(ZOREncodingPopUpButton, ui::PopUpButton)

void ZOREncodingPopUpButton::describeClass(fnd::ClassBuilder<ZOREncodingPopUpButton>& c)
{
    // The encodings manager tells the pop-up through "setHasDefaultEntry:".
    c.property(
        "hasDefaultEntry", &ZOREncodingPopUpButton::hasDefaultEntry, &ZOREncodingPopUpButton::setHasDefaultEntry);
    c.action(EncodingsListChangedAction, &ZOREncodingPopUpButton::encodingsListChanged);
}

ZOREncodingPopUpButton::~ZOREncodingPopUpButton()
{
    if (m_observing)
        fnd::NotificationCenter::defaultCenter().removeObserver(*this);
}

std::shared_ptr<ZOREncodingPopUpButton> ZOREncodingPopUpButton::create(gfx::Rect frame)
{
    return ui::makeView<ZOREncodingPopUpButton>(frame);
}

void ZOREncodingPopUpButton::initWithFrame(gfx::Rect frame)
{
    PopUpButton::initWithFrame(frame);
    setUp();
}

std::shared_ptr<ui::Cell> ZOREncodingPopUpButton::makeCell() const
{
    return fnd::makeObject<ZOREncodingPopUpButtonCell>();
}

void ZOREncodingPopUpButton::awakeFromNib()
{
    PopUpButton::awakeFromNib();
    setUp();
}

void ZOREncodingPopUpButton::setUp()
{
    auto old = cell();
    if (!std::dynamic_pointer_cast<ZOREncodingPopUpButtonCell>(old)) {
        auto replacement = fnd::makeObject<ZOREncodingPopUpButtonCell>();
        if (old) {
            replacement->setAction(old->action());
            replacement->setTarget(old->target());
            replacement->setControlSize(old->controlSize());
            replacement->setFont(old->font());
        }
        setCell(replacement);
    }
    setAutoenablesItems(false);
    m_defaultEncoding = NoEncoding;
    if (!m_observing) {
        fnd::NotificationCenter::defaultCenter().addObserver(*this, EncodingsListChangedAction, EncodingsListChanged);
        m_observing = true;
    }
}

void ZOREncodingPopUpButton::setEncoding(std::uint64_t encoding, bool defaultEntry)
{
    m_defaultEncoding = encoding;
    m_hasDefaultEntry = defaultEntry;
    ZOREncodingManager::sharedInstance().setupPopUp(*this, encoding, defaultEntry);
}

void ZOREncodingPopUpButton::encodingsListChanged(const fnd::Value&)
{
    auto self = shared_from_this();
    if (selectedItem()) {
        auto tag = static_cast<std::uint64_t>(selectedTag());
        if (tag != 0 && tag != NoEncoding)
            m_defaultEncoding = tag;
    }
    ZOREncodingManager::sharedInstance().setupPopUp(*this, m_defaultEncoding, m_hasDefaultEntry);
}
