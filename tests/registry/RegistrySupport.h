#pragma once

#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/PixelBuffer.h"
#include "platform/ui/views/View.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace registrytest {

// The names of every registered view class, sorted (the registry keeps them by name).
inline std::vector<std::string> viewClassNames()
{
    std::vector<std::string> names;
    for (const auto* cls : fnd::ClassRegistry::shared().classesDerivedFrom(ui::View::staticClassInfo()))
        if (cls->allocator)
            names.push_back(cls->name.utf8());
    return names;
}

// A test name for a class name (test names take letters, digits and underscores only).
inline std::string testNameOf(const ::testing::TestParamInfo<std::string>& info)
{
    std::string name = info.param;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
}

// A view of the class made as in code: its designated initialiser with the frame.
inline std::shared_ptr<ui::View> viewMadeInCode(const std::string& className, gfx::Rect frame)
{
    auto view = std::dynamic_pointer_cast<ui::View>(fnd::ClassRegistry::shared().allocate(fnd::String(className)));
    if (view)
        view->initWithFrame(frame);
    return view;
}

// Key paths a class's decoding (an archive or an interface file) sets to values of its own instead of the state it
// was made with: a decoded flow view has an empty title, a decoded number field does not wrap. The view made in code
// takes the decoded view's values for them before the two are compared.
inline void takeValuesSetByDecoding(ui::View& madeInCode, const ui::View& decoded)
{
    static const std::map<std::string, std::vector<const char*>> keyPaths {
        { "QFFlowView", { "title" } },
        { "ZORNumberTextField", { "cell.wraps" } },
    };
    if (auto found = keyPaths.find(madeInCode.className().utf8()); found != keyPaths.end())
        for (const char* keyPath : found->second)
            madeInCode.setValueForKeyPath(decoded.valueForKeyPath(keyPath), keyPath);
}

// How many pixels two pictures of the same size differ in (all of them when the sizes differ).
inline long differingPixels(const gfx::BitmapImageRep& a, const gfx::BitmapImageRep& b)
{
    auto pa = a.pixelBuffer();
    auto pb = b.pixelBuffer();
    if (pa.width != pb.width || pa.height != pb.height)
        return long(std::max(pa.width * pa.height, pb.width * pb.height));
    long count = 0;
    for (int y = 0; y < pa.height; ++y)
        for (int x = 0; x < pa.width; ++x)
            count += pa.pixel(x, y) != pb.pixel(x, y);
    return count;
}

}
