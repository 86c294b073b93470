#include "frameworks/AppKitExtensions/ClipperExtensions.h"

#include "frameworks/AppKitExtensions/ZORClipperConversions.h"
#include "frameworks/AppKitExtensions/detail/OutlineComponents.h"
#include "platform/foundation/runtime/Log.h"

#include <algorithm>
#include <optional>

namespace ClipperExtensions {

namespace {

// What one part's run of the clipper makes: the operation over its own outlines, with the roles of subject and
// clip as the run takes them.
struct PartRun {
    ClipperLib::ClipType type { ClipperLib::ctUnion };
    bool subjects { true }; // the path's outlines go in (as the run's subject, or as its clip when swapped)
    bool clips { true }; // the other's outlines go in
    bool swapped { false }; // the other's outlines are the run's subject
    bool reversed { false }; // the part is inside the result: its outlines bound holes, so they run the other way
};

bool applies(std::uint64_t operation, bool inSubject, bool inClip)
{
    switch (operation) {
    case BooleanIntersection:
        return inSubject && inClip;
    case BooleanUnion:
        return inSubject || inClip;
    case BooleanDifference:
        return inSubject && !inClip;
    default:
        return inSubject != inClip;
    }
}

// The run that makes the part's share of the result, or none when it has no share. Around the part, other parts'
// outlines enclose it or not as a whole, so where the part's own outlines put a point inside the subject s times and
// inside the clip c times, the whole paths do so s + the subject's enclosures and c + the clip's times.
std::optional<PartRun> runFor(
    std::uint64_t operation, const ZOROutlineComponents::Component& part, bool hasSubject, bool hasClip)
{
    const auto local
        = [&](bool s, bool c) { return applies(operation, s != part.insideSubject, c != part.insideClip); };
    // Where the part's own outlines enclose nothing the result holds the point or not: holding it, the part's
    // region is a hole in the result, bounded by the outlines of the opposite operation.
    PartRun run;
    run.reversed = local(false, false);
    const bool subjectOnly = local(true, false) != run.reversed;
    const bool clipOnly = local(false, true) != run.reversed;
    const bool both = local(true, true) != run.reversed;
    if (!hasClip) {
        if (!subjectOnly)
            return std::nullopt;
        run.clips = false;
        return run;
    }
    if (!hasSubject) {
        if (!clipOnly)
            return std::nullopt;
        run.subjects = false;
        run.swapped = true;
        return run;
    }
    if (subjectOnly && clipOnly) {
        run.type = both ? ClipperLib::ctUnion : ClipperLib::ctXor;
    } else if (subjectOnly || clipOnly) {
        if (both)
            (subjectOnly ? run.clips : run.subjects) = false; // one operand whatever the other
        else
            run.type = ClipperLib::ctDifference;
        run.swapped = clipOnly;
    } else if (both) {
        run.type = ClipperLib::ctIntersection;
    } else {
        return std::nullopt;
    }
    return run;
}

PathPtr refusedOperation(const char* why)
{
    fnd::logf(fnd::LogLevel::Warning, "path boolean operation refused: {}", why);
    return nullptr;
}

}

PathPtr bezierPathByApplyingBooleanOperation(
    const gfx::BezierPath& path, std::uint64_t operation, const gfx::BezierPath& other)
{
    if (operation > BooleanXOR)
        return gfx::BezierPath::bezierPath();
    try {
        if (ZORClipperPointCount(path, ZORClipperScale) + ZORClipperPointCount(other, ZORClipperScale)
            > ClipperPathPointLimit)
            return refusedOperation("the paths flatten into more points than the clipper is handed");
        ClipperLib::Paths outlines = ZORClipperPathToPolygons(path, ZORClipperScale);
        const std::size_t subjectCount = outlines.size();
        for (auto& outline : ZORClipperPathToPolygons(other, ZORClipperScale))
            outlines.push_back(std::move(outline));
        ZORClipperRequireRange(outlines);

        // Every part's run is planned and measured before any is made, so a refusal costs no sweep.
        const auto parts = ZOROutlineComponents::independentComponents(outlines, subjectCount);
        std::vector<std::pair<const ZOROutlineComponents::Component*, PartRun>> runs;
        for (const auto& part : parts) {
            const bool hasSubject = part.outlines.front() < subjectCount;
            const bool hasClip = part.outlines.back() >= subjectCount;
            const auto run = runFor(operation, part, hasSubject, hasClip);
            if (!run)
                continue;
            std::vector<std::size_t> taken;
            std::int64_t points = 0;
            for (std::size_t index : part.outlines) {
                if (index < subjectCount ? run->subjects : run->clips) {
                    taken.push_back(index);
                    points += static_cast<std::int64_t>(outlines[index].size());
                }
            }
            if (points > ClipperRunPointLimit)
                return refusedOperation(
                    "outlines that meet one another hold more points than the clipper takes in one run");
            if (double(points) * double(points) > ClipperRunSweepLimit
                && ZOROutlineComponents::sweepSteps(outlines, taken) > ClipperRunSweepLimit)
                return refusedOperation("outlines that meet one another would take the clipper's sweep too long");
            runs.emplace_back(&part, *run);
        }
        ClipperLib::Paths result;
        for (const auto& [part, run] : runs) {
            const auto placed = [&](ClipperLib::Path polygon) {
                if (run.reversed)
                    ClipperLib::ReversePath(polygon);
                result.push_back(std::move(polygon));
            };
            if (part->outlines.size() == 1 && run.type == ClipperLib::ctUnion) {
                if (auto simple = ZOROutlineComponents::starShapedOutline(outlines[part->outlines.front()])) {
                    placed(std::move(*simple));
                    continue;
                }
            }
            ClipperLib::Clipper clipper;
            for (std::size_t index : part->outlines) {
                const bool ofSubject = index < subjectCount;
                if (!(ofSubject ? run.subjects : run.clips))
                    continue;
                clipper.AddPath(
                    outlines[index], ofSubject != run.swapped ? ClipperLib::ptSubject : ClipperLib::ptClip, true);
            }
            ClipperLib::Paths solution;
            if (!clipper.Execute(run.type, solution, ClipperLib::pftEvenOdd, ClipperLib::pftEvenOdd))
                return gfx::BezierPath::bezierPath();
            for (auto& polygon : solution)
                placed(std::move(polygon));
        }
        return ZORClipperPolygonsToPath(result, ZORClipperScale);
    } catch (const ClipperLib::clipperException& e) {
        fnd::logf(fnd::LogLevel::Error, "path boolean operation failed: {}", e.what());
        return gfx::BezierPath::bezierPath();
    }
}

PathPtr bezierPathByIntersectingPath(const gfx::BezierPath& path, const gfx::BezierPath& other)
{
    return bezierPathByApplyingBooleanOperation(path, BooleanIntersection, other);
}

PathPtr bezierPathByUnionWithPath(const gfx::BezierPath& path, const gfx::BezierPath& other)
{
    return bezierPathByApplyingBooleanOperation(path, BooleanUnion, other);
}

PathPtr bezierPathByDifferenceWithPath(const gfx::BezierPath& path, const gfx::BezierPath& other)
{
    return bezierPathByApplyingBooleanOperation(path, BooleanDifference, other);
}

PathPtr bezierPathByXORWithPath(const gfx::BezierPath& path, const gfx::BezierPath& other)
{
    return bezierPathByApplyingBooleanOperation(path, BooleanXOR, other);
}

}
