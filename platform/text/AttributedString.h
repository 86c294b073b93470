#pragma once

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/runtime/Range.h"
#include "platform/graphics/Geometry.h"
#include "platform/text/Attributes.h"

#include <vector>

namespace txt {

// What an edit changed, with the platform's bit values.
namespace TextStorageEdited {
constexpr unsigned Attributes = 1;
constexpr unsigned Characters = 2;
}

// Text with attribute runs, indexed in UTF-16 units. Adjacent runs with equal attributes are merged, so the
// effective range of an index is the whole stretch where its attributes do not change. Indexes or ranges outside
// the text raise a range exception: they are programming errors.
class AttributedString : public fnd::Object, public fnd::Coding {
    FND_OBJECT(AttributedString)
public:
    AttributedString() = default;
    explicit AttributedString(fnd::String string, Attributes attributes = {});

    const fnd::String& string() const { return m_string; }
    fnd::Index length() const { return m_string.length(); }

    // The attributes at an index, and the run they hold over.
    const Attributes& attributesAtIndex(fnd::Index index, fnd::Range* effectiveRange = nullptr) const;
    fnd::Value attributeAtIndex(const fnd::String& name, fnd::Index index, fnd::Range* effectiveRange = nullptr) const;
    // The same, with the range grown within rangeLimit as far as the value stays equal.
    const Attributes& attributesAtIndexLongestEffectiveRange(
        fnd::Index index, fnd::Range* longestRange, fnd::Range rangeLimit) const;
    fnd::Value attributeAtIndexLongestEffectiveRange(
        const fnd::String& name, fnd::Index index, fnd::Range* longestRange, fnd::Range rangeLimit) const;
    AttributedString attributedSubstringFromRange(fnd::Range range) const;

    // Replaced text takes the attributes of its first replaced character; inserted text those of the character
    // before it (or after it, at the start).
    void replaceCharactersInRange(fnd::Range range, const fnd::String& string);
    void replaceCharactersInRange(fnd::Range range, const AttributedString& text);
    void setAttributes(const Attributes& attributes, fnd::Range range);
    void addAttribute(const fnd::String& name, const fnd::Value& value, fnd::Range range);
    void addAttributes(const Attributes& attributes, fnd::Range range);
    void removeAttribute(const fnd::String& name, fnd::Range range);
    void insertAttributedString(const AttributedString& text, fnd::Index index);
    void appendAttributedString(const AttributedString& text);
    void deleteCharactersInRange(fnd::Range range);
    void setAttributedString(const AttributedString& text);

    // Drawing, through an off-screen text system of this thread with line-fragment padding 0. The point is the
    // text's top left in a flipped context and its bottom left otherwise; lines break only at line breaks.
    gfx::Size size() const;
    void drawAtPoint(gfx::Point point) const;
    // Wraps to the rectangle's width and draws the lines that fit its height, clipped to it; when text is left
    // over, the last line drawn ends in an ellipsis.
    void drawInRect(const gfx::Rect& rect) const;
    // The rectangle the text takes when wrapped to size's width, from the top left (0, 0).
    gfx::Rect boundingRectWithSize(gfx::Size size) const;

    // Groups edits; a text storage processes them once at the outermost end.
    virtual void beginEditing() { }
    virtual void endEditing() { }

    bool isEqual(const fnd::Object& other) const override;
    std::size_t hash() const override { return m_string.hash(); }
    fnd::String description() const override;

    // Keyed archives only: "NSString" and "NSAttributeRuns", an array of { "NSLength", "NSAttributes" } in text
    // order. Attribute values an archive cannot hold (neither plain values nor archivable objects) are left out.
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

protected:
    // Every change reports here after it is made: what changed, the range of the new text it covers, and the
    // change in length.
    virtual void edited(unsigned /*mask*/, fnd::Range /*newRange*/, fnd::Index /*changeInLength*/) { }

private:
    struct Run {
        fnd::Index length;
        Attributes attributes;
    };
    // The run holding index, and where that run starts.
    std::size_t runAt(fnd::Index index, fnd::Index* runStart) const;
    // Makes a run boundary at index; returns the index of the run starting there (runs.size() at the end).
    std::size_t split(fnd::Index index);
    // Merges equal neighbours and drops empty runs among runs [from, to) and their neighbours, the rest being
    // coalesced already.
    void coalesce(std::size_t from, std::size_t to);
    void checkRange(fnd::Range range, const char* operation) const;
    void checkIndex(fnd::Index index, const char* operation) const;
    template <typename F> void modifyRuns(fnd::Range range, F&& change);

    fnd::String m_string;
    std::vector<Run> m_runs;
    // Where each run starts, and the end of the last, so runAt finds a run by binary search; cleared by every change
    // of the runs and made again when next asked for (valid when it has one entry more than there are runs).
    mutable std::vector<fnd::Index> m_runStarts;
};

}
