#pragma once

#include <memory>
#include <vector>

namespace ui {
class View;
}

// The rows of a form laid out in a column from the top: views whose heights overlap share a row. When every view
// of a row is hidden, the rows below it move up by the row's pitch (the distance to the next row's top), so hiding
// controls leaves no hole; showing them again puts the rows back where they were laid out.
class FormRows {
public:
    // Takes the places of the container's subviews (but the ones left out) as they are now. The container keeps its
    // subviews at the top when it grows, so each view is remembered by its distance from the container's top.
    void capture(ui::View& container, const std::vector<std::shared_ptr<ui::View>>& leftOut);
    // Places every captured view: its own distance from the top, less the pitches of the hidden rows above it.
    void closeUp(ui::View& container) const;

private:
    struct Placed {
        std::weak_ptr<ui::View> view;
        double top;
        double height;
    };
    struct Row {
        std::vector<Placed> views;
        double top;
        double bottom;
        bool hidden() const;
    };
    std::vector<Row> m_rows;
};
