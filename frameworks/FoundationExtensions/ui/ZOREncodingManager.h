#pragma once

#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/runtime/StringEncoding.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace ui {
class Matrix;
class PopUpButton;
class Window;
}

// Posted after the person changed the enabled encodings (no object).
inline const fnd::NotificationName EncodingsListChanged = "EncodingsListChanged";

// The text encodings the person enabled for encoding pop-ups, kept in the defaults ("Encodings", an array of
// numbers), with the panel that edits the list and conversions between encodings and charset names. Encodings are
// the platform's numbers; in pop-ups they are item tags. Main thread.
class ZOREncodingManager : public fnd::Object {
    FND_OBJECT(ZOREncodingManager)
    static void describeClass(fnd::ClassBuilder<ZOREncodingManager>& c);

public:
    // The tag of items that stand for no encoding: "Automatic", the separator and "Customise".
    static constexpr std::uint64_t NoEncodingTag = 4294967295u;
    static inline const fnd::String DefaultsKey = "Encodings";

    static ZOREncodingManager& sharedInstance();
    static std::shared_ptr<ZOREncodingManager> sharedPointer();

    // 0 for an empty or unknown name.
    static std::uint64_t stringEncodingForMIMEEncoding(const fnd::String& name);
    static fnd::String MIMEEncodingForStringEncoding(std::uint64_t encoding);
    // From the first million bytes: a byte-order mark, else UTF-8 when the bytes are UTF-8, else the charset
    // detector's best guess; UTF-8 when nothing is known.
    static fnd::StringEncoding encodingForFile(const fnd::String& path);
    // The charset detector's best candidate (each candidate is logged); UTF-8 when it has none.
    static fnd::StringEncoding autoDetectedStringEncodingOfData(const fnd::Data& data);
    // Every encoding with a name, Unicode forms first, then grouped by their closest Mac script encoding, each group
    // by value.
    static const std::vector<std::uint64_t>& allAvailableStringEncodings();
    // UTF-16, UTF-8, Mac Roman, Windows Latin 1, Mac Japanese, Shift JIS, Mac Chinese (traditional), Mac Korean, Mac
    // Chinese (simplified) and GB 18030 as far as available, then the default C-string encoding unless among them.
    static std::vector<std::uint64_t> defaultEncodings();

    ZOREncodingManager() = default;

    std::vector<std::uint64_t> enabledEncodings();
    // Fills the pop-up: optionally "Automatic", the enabled encodings (plus the selected one when it is not among
    // them and there is no default entry), a separator and "Customise Encodings List…", then selects the selected
    // encoding's item (else the first) and tells the pop-up whether it has a default entry.
    void setupPopUp(ui::PopUpButton& popUp, std::uint64_t selectedEncoding, bool withDefaultEntry);
    void noteEncodingListChange(bool writeDefault, bool updateList, bool postNotification);

    // The panel's actions.
    void showPanel(const fnd::Value& sender);
    void encodingListChanged(const fnd::Value& sender);
    void clearAll(const fnd::Value& sender);
    void selectAll(const fnd::Value& sender);
    void revertToDefault(const fnd::Value& sender);
    bool worksWhenModal() const { return true; }

    // The panel, from the interface file "ZORSelectEncodingsPanel" (texts from the "ZOREncodingManager" table), and
    // its matrix with one check box per available encoding, in a scroll view (nullptr before the panel was first
    // shown).
    const std::shared_ptr<ui::Window>& panel() const { return m_panel; }
    void setPanel(const std::shared_ptr<ui::Window>& panel) { m_panel = panel; }
    const std::shared_ptr<ui::Matrix>& encodingMatrix() const { return m_encodingMatrix; }
    void setEncodingMatrix(const std::shared_ptr<ui::Matrix>& matrix) { m_encodingMatrix = matrix; }

private:
    void updateCheckBoxes();

    std::vector<std::uint64_t> m_encodings;
    bool m_loaded { false };
    bool loadPanel();

    std::shared_ptr<ui::Window> m_panel;
    std::shared_ptr<ui::Matrix> m_encodingMatrix;
};
