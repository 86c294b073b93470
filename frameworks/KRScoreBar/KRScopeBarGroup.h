#pragma once

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/runtime/IndexSet.h"
#include "platform/foundation/runtime/Object.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace txt {
class AttributedString;
}

class KRScopeBar;

// Posted (object: the bar) when the selection of one of its groups changes; the user info holds the group's
// identifier under KRGroupIdentifierKey.
inline const fnd::String KRScopeBarSelectionDidChangeNotification = "KRScopeBarSelectionDidChangeNotification";
inline const fnd::String KRGroupIdentifierKey = "KRGroupIdentifierKey";

// Stored in archives; the values are the archive's.
inline constexpr std::int32_t KRScopeBarGroupSelectionStyleRadio = 0;
inline constexpr std::int32_t KRScopeBarGroupSelectionStyleMultiple = 1;

// One group of a scope bar: a labelled run of selectable items with a selection style and a selection. The items
// come from the group's "content" binding (with "contentValues" for titles and "image" for images) or, unbound, from
// the bar's data source. A group outside a bar refreshes nothing and posts nothing.
class KRScopeBarGroup : public fnd::Object, public fnd::Coding {
    FND_OBJECT(KRScopeBarGroup)
    static void describeClass(fnd::ClassBuilder<KRScopeBarGroup>& c);

public:
    KRScopeBarGroup() = default;
    ~KRScopeBarGroup() override;
    void init() { initWithIdentifier(std::nullopt, KRScopeBarGroupSelectionStyleRadio); }
    void initWithIdentifier(std::optional<fnd::String> identifier, std::int32_t style);
    static std::shared_ptr<KRScopeBarGroup> create(
        std::optional<fnd::String> identifier = std::nullopt, std::int32_t style = KRScopeBarGroupSelectionStyleRadio);

    const std::optional<fnd::String>& identifier() const { return m_identifier; }
    void setIdentifier(std::optional<fnd::String> identifier) { m_identifier = std::move(identifier); }
    const std::optional<fnd::String>& label() const { return m_label; }
    void setLabel(std::optional<fnd::String> label);
    // The label as drawn: the explicit attributed label, else the plain label in the bar's label colour and bold
    // system font 11 (no attributes outside a bar); nullptr when neither label is set.
    std::shared_ptr<txt::AttributedString> attributedLabel() const;
    const std::shared_ptr<txt::AttributedString>& explicitAttributedLabel() const { return m_attributedLabel; }
    void setAttributedLabel(const std::shared_ptr<txt::AttributedString>& label);
    fnd::String multipleSelectionPlaceholder() const;
    void setMultipleSelectionPlaceholder(std::optional<fnd::String> text);
    fnd::String noSelectionPlaceholder() const;
    void setNoSelectionPlaceholder(std::optional<fnd::String> text);

    std::int32_t groupSelectionStyle() const { return m_selectionStyle; }
    void setGroupSelectionStyle(std::int32_t style);
    bool showsSeparator() const { return m_showsSeparator; }
    void setShowsSeparator(bool flag);
    bool showsLabel() const { return m_showsLabel; }
    void setShowsLabel(bool flag);
    bool isCollapsed() const { return m_collapsed; }
    // The bar's delegate may refuse; the bar is not refreshed (its layout drives collapsing).
    void setCollapsed(bool flag);

    std::shared_ptr<KRScopeBar> scopeBar() const { return m_scopeBar.lock(); }
    void setScopeBar(const std::shared_ptr<KRScopeBar>& bar) { m_scopeBar = bar; }

    // Targets of the exposed bindings: the values are ignored; a change refreshes the bar while bound.
    void setContent(const fnd::Value& value);
    void setContentValues(const fnd::Value& value);
    void setImage(const fnd::Value& value);

    // The items, from the binding or the data source.
    bool usesBindings() const;
    std::uint64_t numberOfObjects() const;
    fnd::Value objectAtIndex(std::uint64_t index) const;
    // Bound: by equality; from the data source: by identity (objects) or equality (plain values).
    fnd::Index indexForObject(const fnd::Value& object) const;
    // The element of a bound array ("contentValues", "image") at the index; nil when unbound or out of range.
    std::optional<fnd::Value> boundElement(const fnd::String& binding, std::uint64_t index) const;

    // Selection.
    const fnd::IndexSet& selectionIndexes() const { return m_selectionIndexes; }
    void setSelectionIndexes(const fnd::IndexSet& indexes);
    fnd::Array selectedObjects() const;
    fnd::Value selectedObject() const;
    void didClickObject(std::uint64_t index) { didClickObject_(index, false); }
    void didClickObject_(std::uint64_t index, bool alwaysSetToOnState);
    void selectObject(const fnd::Value& object);
    void selectObjectWithIndex(std::int64_t index);

    void bind(const fnd::String& binding, fnd::Object& observable, const fnd::String& keyPath,
        const fnd::Dictionary& options = {}) override;
    void unbind(const fnd::String& binding) override;
    void observeValueForKeyPath(const fnd::String& keyPath, fnd::Object& object, const fnd::KeyValueChange& change,
        const void* context) override;

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    // Asks the bar to reload this group, when it is in one.
    void refreshBar();
    std::optional<fnd::Array> boundContent() const;

    std::optional<fnd::String> m_identifier;
    std::optional<fnd::String> m_label;
    std::shared_ptr<txt::AttributedString> m_attributedLabel;
    std::int32_t m_selectionStyle { KRScopeBarGroupSelectionStyleRadio };
    bool m_showsSeparator { true };
    bool m_collapsed { false };
    bool m_showsLabel { false };
    fnd::IndexSet m_selectionIndexes;
    std::weak_ptr<KRScopeBar> m_scopeBar;
    std::optional<fnd::String> m_multipleSelectionPlaceholder;
    std::optional<fnd::String> m_noSelectionPlaceholder;
    // The controller whose selection the group observes while "content" is bound.
    fnd::WeakObjectRef m_observedSelectionOwner;
};
