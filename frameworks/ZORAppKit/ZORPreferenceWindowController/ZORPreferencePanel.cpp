#include "frameworks/ZORAppKit/ZORPreferenceWindowController/ZORPreferencePanel.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/ui/interface/InterfaceFile.h"
#include "platform/ui/views/View.h"

FND_REGISTER_CLASS(ZORPreferencePanel, fnd::Object)

void ZORPreferencePanel::describeClass(fnd::ClassBuilder<ZORPreferencePanel>& c)
{
    c.property("paneMainView", &ZORPreferencePanel::paneMainView, &ZORPreferencePanel::setPaneMainView);
}

void ZORPreferencePanel::initWithNibName(const fnd::String& nibName, const fnd::String& identifier)
{
    auto loaded = ui::InterfaceFile::loadNamed(nibName, shared_from_this());
    if (!loaded) {
        fnd::log(fnd::LogLevel::Error, loaded.error().localizedDescription());
        throw fnd::Exception("View initialization failed", nibName + ": Could not load views resources!");
    }
    m_identifier = identifier;
    m_sortOrder = 0;
    viewDidLoad();
}
