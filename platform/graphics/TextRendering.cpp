#include "platform/graphics/TextRendering.h"

#include <fontconfig/fontconfig.h>

#include <mutex>
#include <optional>

namespace gfx {

namespace {

std::mutex& textRenderingMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::optional<TextRenderingOptions>& textRenderingChoice()
{
    static std::optional<TextRenderingOptions> choice;
    return choice;
}

// What the fontconfig rules (the system's and the user's) give a sans-serif face at the user font size.
TextRenderingOptions fontconfigTextRendering()
{
    TextRenderingOptions options;
    FcInit();
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif:size=12"));
    if (!pattern)
        return options;
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPattern* answer = match ? match : pattern;
    FcBool antialias = FcTrue, hinting = FcTrue;
    int style = FC_HINT_SLIGHT;
    FcPatternGetBool(answer, FC_ANTIALIAS, 0, &antialias);
    FcPatternGetBool(answer, FC_HINTING, 0, &hinting);
    FcPatternGetInteger(answer, FC_HINT_STYLE, 0, &style);
    options.antialias = antialias != FcFalse;
    options.hinting = hinting == FcFalse                 ? TextHinting::None
        : style >= FC_HINT_NONE && style <= FC_HINT_FULL ? static_cast<TextHinting>(style)
                                                         : TextHinting::Slight;
    if (match)
        FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    return options;
}

}

TextRenderingOptions desktopTextRendering()
{
    std::lock_guard lock(textRenderingMutex());
    auto& choice = textRenderingChoice();
    if (!choice)
        choice = fontconfigTextRendering();
    return *choice;
}

void setDesktopTextRendering(TextRenderingOptions options)
{
    std::lock_guard lock(textRenderingMutex());
    textRenderingChoice() = options;
}

}
