#pragma once

#include "frameworks/QFFlowView/QFFlowView.h"

#include "platform/foundation/runtime/OperationQueue.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/layers/Transaction.h"
#include "platform/ui/UiTestSupport.h"
#include "platform/ui/views/Window.h"
#include "support/GeneratedPictures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>

namespace flowviewtest {

// What a wait for work on real threads allows: a busy machine can hold a thread back for long.
inline constexpr std::chrono::seconds RealTimeBound { 30 };

// Waits until the queue has no operation left, at most RealTimeBound; false when some are still there.
bool waitForOperations(fnd::OperationQueue& queue);

// An item that answers the item protocol through its declared keys.
class TestItem : public fnd::Object {
    FND_OBJECT(TestItem)
    static void describeClass(fnd::ClassBuilder<TestItem>& c);

public:
    static std::shared_ptr<TestItem> create(
        fnd::Value uid, fnd::Value representation, fnd::String type, fnd::String title = {});
    fnd::Value uid;
    fnd::Value representation;
    fnd::String type;
    fnd::String title;
};

// Items from a vector; optionally answering the count without the items.
class TestDataSource : public QFFlowViewDataSource {
public:
    std::vector<fnd::Value> items;
    bool answersItems { true };
    std::optional<ui::DragOperation> validation;
    std::optional<bool> acceptance;
    std::vector<std::size_t> dropIndexes;

    std::optional<std::size_t> numberOfItemsInFlowView(QFFlowView&) override { return items.size(); }
    std::optional<fnd::Value> flowViewItemAtIndex(QFFlowView&, std::size_t index) override
    {
        if (!answersItems)
            return std::nullopt;
        return index < items.size() ? items[index] : fnd::Value();
    }
    std::optional<ui::DragOperation> flowViewValidateDrop(QFFlowView&, ui::DraggingInfo&, std::size_t index) override
    {
        dropIndexes.push_back(index);
        return validation;
    }
    std::optional<bool> flowViewAcceptDrop(QFFlowView&, ui::DraggingInfo&, std::size_t index) override
    {
        dropIndexes.push_back(index);
        return acceptance;
    }
};

using testsupport::solidBitmap;
// A PDF page of the size in points filled with one colour, made with our drawing context.
fnd::Data solidPDF(gfx::Size size, const gfx::Color& color);

// A flow view of 800 × 400 points in a key window, time on the virtual clock.
class FlowViewTest : public uitest::UiTest {
protected:
    FlowViewTest();
    ~FlowViewTest() override;

    // Commits, runs the run loop for that long (animations, completions) and lets pictures arrive.
    void settle(double seconds = 0);
    // Lets the flow view's picture loads finish and arrive until none is left under way, for at most half a minute
    // of real time: pictures are made on real threads, which a busy machine can hold back for long.
    void drainPictures(QFFlowView& flowView);
    void drainPictures() { drainPictures(*view); }
    // n picture items of distinct colours, with uids "uid i" and titles "Item i".
    std::vector<fnd::Value> bitmapItems(int n);
    void useItems(const std::vector<fnd::Value>& items);
    // A point of the view on the item's picture (its middle, or its outer edge for stacked items).
    gfx::Point pointOnItem(std::size_t index);
    gfx::Point windowPoint(gfx::Point inView) { return view->convertPointToView(inView, nullptr); }

    std::shared_ptr<ui::Window> window;
    std::shared_ptr<QFFlowView> view;
    std::shared_ptr<TestDataSource> source;
    std::filesystem::path folder;
};

}
