#include "platform/backend/gtk/GtkTextRendering.h"

#include "platform/graphics/TextRendering.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"

#include <gtk/gtk.h>

#include <cstring>

namespace ui {

namespace {

// fontconfig's choice, taken before GTK's settings replace it, for the settings GTK leaves at "default".
gfx::TextRenderingOptions& fontconfigRendering()
{
    static gfx::TextRenderingOptions options = gfx::desktopTextRendering();
    return options;
}

void applyGtkTextRendering(GtkSettings* settings)
{
    int antialias = -1, hinting = -1;
    char* style = nullptr;
    g_object_get(
        settings, "gtk-xft-antialias", &antialias, "gtk-xft-hinting", &hinting, "gtk-xft-hintstyle", &style, nullptr);
    auto options = fontconfigRendering();
    if (antialias >= 0)
        options.antialias = antialias != 0;
    if (style) {
        if (!std::strcmp(style, "hintnone"))
            options.hinting = gfx::TextHinting::None;
        else if (!std::strcmp(style, "hintslight"))
            options.hinting = gfx::TextHinting::Slight;
        else if (!std::strcmp(style, "hintmedium"))
            options.hinting = gfx::TextHinting::Medium;
        else if (!std::strcmp(style, "hintfull"))
            options.hinting = gfx::TextHinting::Full;
        g_free(style);
    }
    if (hinting == 0)
        options.hinting = gfx::TextHinting::None;
    if (options == gfx::desktopTextRendering())
        return;
    gfx::setDesktopTextRendering(options);
    // Text already on the screen is drawn again the new way.
    for (const auto& window : Application::shared().windows())
        if (auto content = window->contentView())
            content->setNeedsDisplay(true);
}

void textRenderingChanged(GObject* settings, GParamSpec*, gpointer)
{
    applyGtkTextRendering(GTK_SETTINGS(settings));
}

}

void followDesktopTextRendering()
{
    GtkSettings* settings = gtk_settings_get_default();
    if (!settings)
        return;
    fontconfigRendering();
    applyGtkTextRendering(settings);
    for (const char* signal : { "notify::gtk-xft-antialias", "notify::gtk-xft-hinting", "notify::gtk-xft-hintstyle" })
        g_signal_connect(settings, signal, G_CALLBACK(textRenderingChanged), nullptr);
}

}
