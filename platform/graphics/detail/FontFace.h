#pragma once

// FreeType faces and the catalogue of installed fonts behind gfx::Font. Platform code only: it includes FreeType.

#include "platform/foundation/runtime/String.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <array>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace gfx::detail {

// What fontconfig tells about one installed face.
struct FaceInfo {
    std::string file;
    int index { 0 };
    std::vector<fnd::String> families; // the first is the typographic family
    fnd::String style;
    fnd::String fullName;
    fnd::String postScriptName;
    int weight { 80 }; // fontconfig's scale: 80 regular, 200 bold
    int slant { 0 }; // 0 roman, 100 italic, 110 oblique
    int width { 100 };
    bool isMonospace { false };

    const fnd::String& family() const { return families.front(); }
};

// Installed faces, listed once per process.
class FontCatalog {
public:
    static const FontCatalog& shared();

    const std::vector<FaceInfo>& faces() const { return m_faces; }
    // Exact names first, then ignoring ASCII case.
    const FaceInfo* findByPostScriptName(const fnd::String& name) const;
    const FaceInfo* findByFullName(const fnd::String& name) const;
    // The member of a family closest to the weight and slant, at normal width; nullptr when no such family.
    const FaceInfo* bestMember(const fnd::String& family, int weight, int slant) const;
    std::vector<const FaceInfo*> members(const fnd::String& family) const;
    std::vector<fnd::String> families() const;

private:
    FontCatalog();
    void buildIndex();
    const FaceInfo* findBestMember(const fnd::String& family, int weight, int slant) const;

    std::vector<FaceInfo> m_faces;
    mutable std::mutex m_bestMutex;
    mutable std::map<std::tuple<std::u16string, int, int>, const FaceInfo*> m_best;
    // Name lookups run for every font made: the faces by name are found once, when the catalog is listed. Keys are
    // UTF-8, lowered in ASCII where the lookup ignores case; each keeps the first face in m_faces order.
    std::unordered_map<std::string, const FaceInfo*> m_byPostScriptName;
    std::unordered_map<std::string, const FaceInfo*> m_byLoweredPostScriptName;
    std::unordered_map<std::string, const FaceInfo*> m_byLoweredFullName;
    // Every face that lists the family among its families, in m_faces order.
    std::unordered_map<std::string, std::vector<const FaceInfo*>> m_byLoweredFamily;
};

// An open FreeType face, shared by every Font of that face whatever its size (glyphs load unscaled). FreeType
// faces are not thread-safe: hold lock() around every call on ftFace().
class FontFace {
public:
    static std::shared_ptr<FontFace> forInfo(const FaceInfo& info);
    ~FontFace();

    const FaceInfo& info() const { return m_info; }
    FT_Face ftFace() const { return m_face; }
    std::unique_lock<std::mutex> lock() const { return std::unique_lock(m_mutex); }
    double unitsPerEm() const { return m_unitsPerEm; }
    // Design heights from the OS/2 table, or measured on "x" and "H" when the table has none; font units.
    double xHeightUnits() const { return m_xHeight; }
    double capHeightUnits() const { return m_capHeight; }
    double italicAngle() const { return m_italicAngle; }
    // The glyph of a character (0 when the face has none); Latin-1 from a table made when the face opens, since
    // layout asks for every character it shapes.
    FT_UInt glyphForCharacter(char32_t character) const;

    FontFace(const FaceInfo& info, FT_Face face);

private:
    FaceInfo m_info;
    FT_Face m_face;
    mutable std::mutex m_mutex;
    double m_unitsPerEm { 1000 };
    double m_xHeight { 0 };
    double m_capHeight { 0 };
    double m_italicAngle { 0 };
    std::array<FT_UInt, 256> m_latin1Glyphs {};
};

}
