#pragma once

#include "platform/ui/accessibility/AccessibilityPartElement.h"
#include "platform/ui/views/View.h"

namespace ui::detail {

// A panel's view that draws rows of its own (the font panel's lists; the save panel's places, files and path), as
// assistive technologies read it: an element of the list's role with an element for each row, of the row's role,
// named by its title, placed where the row is drawn, the chosen rows selected and the rows in view visible;
// choosing a row through it is what a click does.
class RowListView : public View, public AccessibilityPartOwner {
public:
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsAttributeSettable(const fnd::String& attribute) const override;
    void accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute) override;
    bool accessibilityIsIgnored() const override { return false; }

    fnd::Value accessibilityPartAttributeValue(long part, AccessibilityAttributeKey key) const override;
    bool accessibilityPartIsAttributeSettable(long part, AccessibilityAttributeKey key) const override;
    void accessibilityPartSetValue(long part, AccessibilityAttributeKey key, const fnd::Value& value) override;
    std::vector<fnd::String> accessibilityPartActionNames(long part) const override;
    void accessibilityPartPerformAction(long part, const fnd::String& action) override;

protected:
    RowListView(fnd::String listRole, fnd::String rowRole, fnd::String rowSubrole = {});

    virtual long accessibilityRowCount() const = 0;
    virtual fnd::String accessibilityRowTitle(long row) const = 0;
    virtual bool accessibilityRowIsSelected(long row) const = 0;
    // In the view's coordinates.
    virtual gfx::Rect accessibilityRowRect(long row) const = 0;
    virtual void accessibilityChooseRow(long row) = 0;
    virtual bool accessibilityRowIsEnabled(long row) const { return (void)row, true; }
    virtual fnd::String accessibilityRowDescription(long row) const { return (void)row, fnd::String(); }
    // What the list is called (the heading it draws, what it lists), as its description; empty for none.
    virtual fnd::String accessibilityListName() const { return {}; }

    // The rows are others now (new elements stand for them) / the selection moved: assistive technologies are told.
    void rowListChanged();
    void rowListSelectionChanged();

private:
    fnd::Value rowElement(long row) const;

    mutable AccessibilityParts m_rows;
    fnd::String m_listRole;
    fnd::String m_role;
    fnd::String m_subrole;
};

}
