#pragma once

#include "frameworks/ZORAppKit/ZORPopUpButton/ZOREncodingPopUpButtonCell.h"

#include "platform/ui/controls/PopUpButton.h"

#include <cstdint>

// A pop-up of text encodings filled by the encodings manager: the enabled encodings (after an "Automatic" entry when
// asked for), a separator and the entry that opens the list's panel. It fills itself again whenever the list of
// enabled encodings changes ("EncodingsListChanged"), keeping the encoding that was chosen.
class ZOREncodingPopUpButton : public ui::PopUpButton {
    FND_OBJECT(ZOREncodingPopUpButton)
    static void describeClass(fnd::ClassBuilder<ZOREncodingPopUpButton>& c);

public:
    // The encoding of items that stand for none: the default entry, the separator and the customise entry.
    static constexpr std::uint64_t NoEncoding = 0xFFFFFFFF;

    ZOREncodingPopUpButton() = default;
    ~ZOREncodingPopUpButton() override;
    static std::shared_ptr<ZOREncodingPopUpButton> create(gfx::Rect frame = {});
    void initWithFrame(gfx::Rect frame) override;
    std::shared_ptr<ui::Cell> makeCell() const override;

    // The encoding the pop-up selects when it is filled (NoEncoding: none chosen yet).
    std::uint64_t defaultEncoding() const { return m_defaultEncoding; }
    // Whether the pop-up was filled with a leading default entry; the encodings manager says so after filling.
    bool hasDefaultEntry() const { return m_hasDefaultEntry; }
    void setHasDefaultEntry(bool flag) { m_hasDefaultEntry = flag; }
    // Fills the pop-up through the encodings manager, selecting the encoding.
    void setEncoding(std::uint64_t encoding, bool defaultEntry);
    // Fills the pop-up again, keeping the chosen encoding (unless the default entry is chosen).
    void encodingsListChanged(const fnd::Value& notification);

    // Swaps in the encoding cell (keeping the old cell's action, target, control size and font), turns off
    // automatic enabling of the items and starts following the list of enabled encodings.
    void awakeFromNib() override;

private:
    void setUp();

    std::uint64_t m_defaultEncoding { NoEncoding };
    bool m_hasDefaultEntry { false };
    bool m_observing { false };
};
