#pragma once

#include "frameworks/ZORAppKit/ZORThemedControls/ZORThemedObject.h"

#include "frameworks/AppKitExtensions/Themes/ZORThemeDrawing.h"

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/runtime/KeyValueObserving.h"
#include "platform/graphics/Gradient.h"
#include "platform/ui/views/View.h"

#include <cmath>
#include <cstdint>
#include <optional>

// A background for groups of themed controls: the theme's gradient or fill colour (or gradients of its own), in a
// rectangle or with rounded corners, borders along chosen sides in a theme colour, dimmed while it is not active
// (its flag off, or, when it respects the window state, its window not the main window). When its theme is dark,
// the controls inside it draw on the dark background style, also those added later. Not flipped. Setting a
// property does not redisplay. The binding "isActive" drives the active flag.
class ZORTBorderedView : public ui::View {
    FND_OBJECT(ZORTBorderedView)
    static void describeClass(fnd::ClassBuilder<ZORTBorderedView>& c);

public:
    ZORTBorderedView() = default;
    ~ZORTBorderedView() override;
    static std::shared_ptr<ZORTBorderedView> create(gfx::Rect frame = {});

    fnd::String themeKey() const { return m_themeKey; }
    void setThemeKey(const fnd::String& key) { m_themeKey = key; }
    // ZORThemeDrawing::BorderSide bits (not flipped: top is maxY).
    std::uint64_t borderSides() const { return m_look.borderSides; }
    void setBorderSides(std::uint64_t sides) { m_look.borderSides = sides; }
    // 0 the theme's stroke colour, 1 its dark stroke colour, 2 its grid colour; any other value draws no border.
    std::uint64_t borderStyle() const { return m_look.borderStyle; }
    void setBorderStyle(std::uint64_t style) { m_look.borderStyle = style; }
    // 0 rectangle, 1 rounded rectangle, 2 rounded top corners, 3 rounded bottom corners.
    std::uint64_t pathStyle() const { return m_look.pathStyle; }
    void setPathStyle(std::uint64_t style) { m_look.pathStyle = style; }
    // The view's own gradients replace the theme's (nullptr: the theme's), fading out from left to right.
    const std::shared_ptr<gfx::Gradient>& activeBackgroundGradient() const { return m_look.activeBackgroundGradient; }
    void setActiveBackgroundGradient(std::shared_ptr<gfx::Gradient> gradient);
    double activeBackgroundGradientAngle() const { return m_look.activeBackgroundGradientAngle; }
    // An angle that is not finite is ignored (decoding takes 0 for one).
    void setActiveBackgroundGradientAngle(double degrees)
    {
        if (std::isfinite(degrees))
            m_look.activeBackgroundGradientAngle = degrees;
    }
    const std::shared_ptr<gfx::Gradient>& inactiveBackgroundGradient() const
    {
        return m_look.inactiveBackgroundGradient;
    }
    void setInactiveBackgroundGradient(std::shared_ptr<gfx::Gradient> gradient);
    double inactiveBackgroundGradientAngle() const { return m_look.inactiveBackgroundGradientAngle; }
    void setInactiveBackgroundGradientAngle(double degrees)
    {
        if (std::isfinite(degrees))
            m_look.inactiveBackgroundGradientAngle = degrees;
    }
    bool respectWindowState() const { return m_respectWindowState; }
    void setRespectWindowState(bool flag) { m_respectWindowState = flag; }
    bool isActive() const { return m_isActive; }
    void setActive(bool flag) { m_isActive = flag; }
    // Whether the view draws as active now: its flag, and its window is main unless it ignores the window state.
    bool drawsActive() const;

    void drawRect(gfx::Rect dirtyRect) override;
    void awakeFromNib() override;
    void didAddSubview(ui::View& subview) override;
    void viewWillMoveToWindow(ui::Window* window) override;
    void viewDidMoveToWindow() override;

    // "isActive" is followed here: numbers through the options' value transformer, other values ignored.
    void bind(const fnd::String& binding, fnd::Object& observable, const fnd::String& keyPath,
        const fnd::Dictionary& options = {}) override;
    void unbind(const fnd::String& binding) override;
    std::optional<fnd::Dictionary> infoForBinding(const fnd::String& binding) const override;
    void observeValueForKeyPath(const fnd::String& keyPath, fnd::Object& object, const fnd::KeyValueChange& change,
        const void* context) override;

    // Every setting but the gradients is archived, the active flag too; an archive without it decodes active.
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    void updateWindowState(const fnd::Value& notification);
    // Gives every control inside the dark background style when the theme is dark.
    void propagateDarkBackgroundStyle();
    void observeWindow(bool start);

    struct ActiveBinding {
        fnd::WeakObjectRef object;
        fnd::String keyPath;
        fnd::Dictionary options;
    };

    fnd::String m_themeKey;
    ZORThemeDrawing::BorderedViewLook m_look;
    bool m_respectWindowState { false };
    bool m_isActive { true };
    std::optional<ActiveBinding> m_activeBinding;
};
