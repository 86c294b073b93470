#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/runtime/Object.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace ui {
class Alert;
class Menu;
}

class KRValidator;

// What a validator asks its delegate first. Every object may answer; the default takes nothing.
class KRValidation {
public:
    virtual ~KRValidation() = default;
    // True refuses the combination (flags as events carry them); a reason may be left for the message.
    virtual bool keyComboValidator(
        KRValidator& validator, std::int64_t keyCode, std::uint64_t flags, fnd::String& reason)
    {
        (void)validator, (void)keyCode, (void)flags, (void)reason;
        return false;
    }
};

// Tells whether a key combination is taken: by the delegate, by the desktop's own shortcuts, or by an item of the
// application's main menu. A taken combination comes with an error whose texts explain it, for an alert.
class KRValidator : public fnd::Object {
    FND_OBJECT(KRValidator)
public:
    KRValidator() = default;
    explicit KRValidator(const std::shared_ptr<KRValidation>& delegate) { initWithDelegate(delegate); }
    void initWithDelegate(const std::shared_ptr<KRValidation>& delegate) { m_delegate = delegate; }

    std::shared_ptr<KRValidation> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<KRValidation>& delegate) { m_delegate = delegate; }

    // The flags are the hot-key services' modifier word. The error (when asked for) is filled for each refusal.
    bool isKeyCodeAndFlagsTaken(std::int64_t keyCode, unsigned carbonFlags, std::optional<fnd::Error>* error = nullptr);
    // Whether an item of the menu, or of a menu below it, has the combination as its key equivalent.
    bool isKeyCodeAndFlagsTakenInMenu(
        std::int64_t keyCode, unsigned carbonFlags, const ui::Menu& menu, std::optional<fnd::Error>* error = nullptr);

    // The error of a refusal with the suggestion given.
    static fnd::Error errorForTakenCombination(
        std::int64_t keyCode, unsigned carbonFlags, const fnd::String& suggestion);

private:
    std::weak_ptr<KRValidation> m_delegate;
};

// The keys of a refusal's error, besides the description.
namespace KRErrorKey {
inline const fnd::String RecoverySuggestion = "NSLocalizedRecoverySuggestion";
inline const fnd::String RecoveryOptions = "NSLocalizedRecoveryOptions";
}

// Alerts about errors nobody can recover from.
namespace KRAdditions {
// A critical alert: the error's description as the message, its suggestion (shown as it is, never as a format) as
// the informative text, its first recovery option as the only button (the default OK button without one).
std::shared_ptr<ui::Alert> alertWithNonRecoverableError(const fnd::Error* error);
}
