#include "application/AboutBox.h"

#include "application/ApplicationSupport.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/runtime/StringFormat.h"
#include "platform/ui/interface/InterfaceLocalization.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/views/Window.h"

FND_REGISTER_CLASS(AboutBox, ui::WindowController)

namespace {

fnd::String infoString(const char* key)
{
    auto value = fnd::Bundle::mainBundle()->objectForInfoDictionaryKey(key);
    return value.isString() ? value.stringValue() : fnd::String();
}

}

void AboutBox::describeClass(fnd::ClassBuilder<AboutBox>& c)
{
    c.property("versionString", &AboutBox::m_versionString);
    c.property("copyrightString", &AboutBox::m_copyrightString);
    c.action("awakeFromNib", &AboutBox::awakeFromNib);
    c.action("closeDialog:", &AboutBox::closeDialog);
}

void AboutBox::init()
{
    initWithWindowNibName("AboutBox");
    setWindowFrameAutosaveName(FrameAutosaveName);
}

fnd::String AboutBox::versionLine()
{
    return fnd::stringWithFormat("%@ %@ (%@)", applicationText("VSversion"), infoString("CFBundleShortVersionString"),
        infoString("CFBundleVersion"));
}

void AboutBox::awakeFromNib()
{
    if (m_versionString)
        m_versionString->setStringValue(versionLine());
    if (m_copyrightString)
        m_copyrightString->setStringValue(applicationText("VScopyright"));
}

void AboutBox::windowDidLoad()
{
    ui::InterfaceFile::Contents contents;
    contents.topLevelObjects = topLevelObjects();
    if (auto bundle = fnd::Bundle::bundleForClass(className()))
        ui::localizeInterface(contents, *bundle, "AboutBox");
}

void AboutBox::closeDialog(const fnd::Value&)
{
    close();
}
