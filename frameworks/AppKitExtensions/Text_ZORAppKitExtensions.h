#pragma once

#include "frameworks/AppKitExtensions/TextOnPathPlacement.h"
#include "platform/foundation/runtime/Range.h"
#include "platform/foundation/runtime/Value.h"
#include "platform/graphics/BezierPath.h"
#include "platform/text/Attributes.h"

#include <memory>
#include <optional>
#include <vector>

namespace fnd {
class Timer;
}

namespace txt {
class AttributedString;
class LayoutManager;
class TextStorage;
}

// Orders points by x alone: -1, 0 or 1.
int ZORComparePointsByX(gfx::Point a, gfx::Point b);

// A path as a line for text and objects, and as a shape to fill with text.
//
// Text on a path: the text is laid out on one straight line as long as the path, and each glyph is moved to the point
// of the path at its distance along that line and turned to the path's direction there. The text stands on the path's
// left as seen in the current context (y up without one): above a path running rightwards. Underlines and
// strikethroughs follow the path, with gaps where descenders cross an underline.
//
// A cache is a dictionary the caller keeps between draws of the same text on the same path; it holds the placed
// glyphs and the line paths, and empties itself when the path, the text or its attributes, or the orientation of
// the context change.
namespace Text_ZORAppKitExtensions {

using PathPtr = std::shared_ptr<gfx::BezierPath>;

// Text on a path.

// One per process: a container of 1,000,000 × 1,000,000 points without padding.
const std::shared_ptr<txt::LayoutManager>& textOnPathLayoutManager();
// A 12-point "Helvetica" until replaced.
txt::Attributes textOnPathDefaultAttributes();
void setTextOnPathDefaultAttributes(txt::Attributes attributes);

// Draws the text along the path into the current context; whether all of it fitted. Without a layout manager the
// shared one lays it out.
bool drawTextOnPath(const gfx::BezierPath& path, const txt::AttributedString& text, double yOffset,
    const std::shared_ptr<txt::LayoutManager>& layoutManager = nullptr, fnd::Dictionary* cache = nullptr);
// With the given attributes or, when none are given, the default attributes.
bool drawStringOnPath(
    const gfx::BezierPath& path, const fnd::String& string, const txt::Attributes* attributes = nullptr);
// One outline per glyph placed.
std::vector<PathPtr> bezierPathsWithGlyphsOnPath(
    const gfx::BezierPath& path, const txt::AttributedString& text, double yOffset);
PathPtr bezierPathWithTextOnPath(const gfx::BezierPath& path, const txt::AttributedString& text, double yOffset);
PathPtr bezierPathWithStringOnPath(
    const gfx::BezierPath& path, const fnd::String& string, const txt::Attributes* attributes = nullptr);

// The placement engine: tells the helper where each glyph of the layout manager's text goes; whether all of it
// fitted. The layout manager must already show the text (preadjustedTextStorageWithString leaves it so); `string`
// is that text: it gets the clipping line break mode, so that the text stays on one line.
bool layoutStringOnPath(const gfx::BezierPath& path, txt::AttributedString& string, double yOffset,
    TextOnPathPlacement* helper, txt::LayoutManager* layoutManager, fnd::Dictionary* cache);
// A new storage with the text, shown by the layout manager in a line as long as the path; justified text is kerned
// to fill it exactly.
std::shared_ptr<txt::TextStorage> preadjustedTextStorageWithString(const gfx::BezierPath& path,
    const txt::AttributedString& string, const std::shared_ptr<txt::LayoutManager>& layoutManager);
// Kerning that makes the storage's text span the length: spread when shorter, squeezed by at most 0.15 times its
// height per gap when longer. A single glyph is not kerned.
void kernText(txt::TextStorage& storage, double toFitLength);
// Where the characters of the range start along the path and how long they run; nothing without both outputs.
void pathPosition(const gfx::BezierPath& path, double* position, double* andLength,
    const txt::AttributedString& forCharactersOfString, fnd::Range inRange);

// Underlines and strikethroughs along the path.

// Draws the line of every run of the layout manager's text whose style is set.
void drawUnderlinePathForLayoutManager(
    const gfx::BezierPath& path, txt::LayoutManager& layoutManager, double yOffset, fnd::Dictionary* cache);
void drawUnderlinePathForLayoutManager(const gfx::BezierPath& path, txt::LayoutManager& layoutManager, fnd::Range range,
    double yOffset, fnd::Dictionary* cache);
void drawStrikethroughPathForLayoutManager(
    const gfx::BezierPath& path, txt::LayoutManager& layoutManager, double yOffset, fnd::Dictionary* cache);
void drawStrikethroughPathForLayoutManager(const gfx::BezierPath& path, txt::LayoutManager& layoutManager,
    fnd::Range range, double yOffset, fnd::Dictionary* cache);
// Where the run's glyph outlines cross its underline, laid out on its own in a container with the padding
// DescenderBreakPadding: x-sorted entry and exit pairs; empty when nothing crosses. underlineOffset is the
// underline's distance from the baseline (negative: below).
inline constexpr double DescenderBreakPadding = 5.0;
std::vector<gfx::Point> descenderBreaksForString(
    const gfx::BezierPath& path, const txt::AttributedString& string, fnd::Range range, double underlineOffset);
// The line of a run from startPosition over length along the path, offset to the side (towards the text when
// positive), in the style of the mask (txt::UnderlineStyle): thick doubles the thickness, double draws two thinner
// lines, a pattern sets a dash. With breaks, gaps of 0.3 × grotThreshold around each crossing (less the
// DescenderBreakPadding the breaks were measured with); pieces between gaps shorter than grotThreshold are dropped,
// except the first. nullptr when the mask has no line style.
PathPtr textLinePathWithMask(const gfx::BezierPath& path, int mask, double startPosition, double length, double offset,
    double lineThickness, const std::vector<gfx::Point>* descenderBreaks, double grotThreshold);

// Objects along the path.

// Makes the objects placed along a path.
class PathObjectFactory {
public:
    virtual ~PathObjectFactory() = default;
    // An object to keep, or nil.
    virtual fnd::Value placeObjectAtPoint(
        gfx::Point point, const gfx::BezierPath& onPath, double position, double slope, void* userInfo)
        = 0;
};

// Makes the links of a chain along a path.
class PathLinkFactory {
public:
    virtual ~PathLinkFactory() = default;
    virtual fnd::Value placeLinkFromPoint(gfx::Point fromPoint, gfx::Point toPoint, const gfx::BezierPath& onPath,
        std::int64_t linkNumber, void* userInfo)
        = 0;
};

// Scales the copies stamped along a path.
class PathTaperDelegate {
public:
    virtual ~PathTaperDelegate() = default;
    // The scale of the copy at the distance; nullopt leaves it unscaled.
    virtual std::optional<double> taperFactorAtDistance(double distance, const gfx::BezierPath& onPath, double ofLength)
    {
        (void)distance, (void)onPath, (void)ofLength;
        return std::nullopt;
    }
};

// An object moved along a path in time.
class PathMovedObject {
public:
    virtual ~PathMovedObject() = default;
    // Whether to go on moving.
    virtual bool moveObjectTo(gfx::Point point, double position, double slope, const fnd::Value& userInfo) = 0;
};

// The most objects, copies, links or line fragments one call makes: an interval, link length or line height so small
// that more would be needed gives no result (and a logged error).
inline constexpr double PathPlacementLimit = 100000;
// The most elements the copies of one stamping hold together: a large stamp copied often would fill memory.
inline constexpr double PathStampElementLimit = 2000000;

// The factory's objects at distances 0, interval, 2 × interval, ... up to the path's length, with the point and
// direction there. nullopt for a path of fewer than two elements or an interval not above 0. A null factory raises
// an invalid-argument exception.
std::optional<fnd::Array> placeObjectsOnPathAtInterval(
    const gfx::BezierPath& path, double interval, PathObjectFactory* factory, void* userInfo);
// The placed objects that are paths, appended into one; nullptr when there are none.
PathPtr bezierPathWithObjectsOnPathAtInterval(
    const gfx::BezierPath& path, double interval, PathObjectFactory* factory, void* userInfo);
// Copies of the stamp at distances phase, phase + interval, ...: each scaled (by the taper delegate), turned to the
// path's direction and moved onto it; with alternate, every second copy turned round. nullptr for a path of fewer
// than two elements, an interval not above 0, or copies that would hold more than PathStampElementLimit elements.
PathPtr bezierPathWithPath(const gfx::BezierPath& path, const gfx::BezierPath& stamp, double atInterval,
    double phase = 0, bool alternate = false, PathTaperDelegate* taperDelegate = nullptr);
// Rigid links from the path's start, each aimed at the path's point at the summed length; a link that would end past
// the path is not placed. Link lengths alternate between even and odd links.
std::optional<fnd::Array> placeLinksOnPathWithLinkLength(
    const gfx::BezierPath& path, double length, PathLinkFactory* factory, void* userInfo);
std::optional<fnd::Array> placeLinksOnPathWithEvenLinkLength(
    const gfx::BezierPath& path, double evenLinkLength, double oddLinkLength, PathLinkFactory* factory, void* userInfo);
// Moves the object along the path at the speed (units a second), 30 times a second on the current run loop (in the
// default and event-tracking modes), until it answers false or, without looping, has reached the end. The object is
// first moved to the start; nothing more happens for a speed not above 0 or a path of fewer than two elements. The
// path is copied when the motion starts. An object that is no PathMovedObject raises an invalid-argument exception.
// Answers the motion's timer, whose user info is the motion's state: "path", "speed", "userinfo" (when given),
// "target" (the object), "path_length", "loop" and "start_time" (seconds since the reference date); nullptr when no
// motion started.
std::shared_ptr<fnd::Timer> moveObject(const gfx::BezierPath& path, const std::shared_ptr<fnd::Object>& object,
    double atSpeed, bool loop, const fnd::Value& userInfo);

// The path as a shape for text.

// Where the horizontal line at y crosses the path (flattened coarsely): x-sorted entry and exit pairs; empty when the
// line misses the path. A vertex on the line counts once.
std::vector<gfx::Point> intersectingPointsWithHorizontalLineAtY(const gfx::BezierPath& path, double y);
// Rectangles of the line height less a point at the top and at the bottom that fit inside the shape, line by line
// from the bounds' minimum y; none for lines thinner than 2 points, or when more than PathPlacementLimit lines would
// be measured.
std::vector<gfx::Rect> lineFragmentRectsForFixedLineheight(const gfx::BezierPath& path, double lineHeight);
// The part of the proposed rectangle inside the shape, tested across its middle (the datum offset moves the test
// line: -0.5 the minimum y, 0.5 the maximum), and in remainingRect what is left of it after that part. The zero
// rectangle when nothing is inside.
gfx::Rect lineFragmentRectForProposedRect(const gfx::BezierPath& path, const gfx::Rect& proposedRect,
    gfx::Rect* remainingRect = nullptr, double datumOffset = 0);

}
