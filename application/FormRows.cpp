#include "application/FormRows.h"

#include "platform/ui/views/View.h"

#include <algorithm>

bool FormRows::Row::hidden() const
{
    return std::ranges::all_of(views, [](const Placed& placed) {
        auto view = placed.view.lock();
        return !view || view->isHidden();
    });
}

void FormRows::capture(ui::View& container, const std::vector<std::shared_ptr<ui::View>>& leftOut)
{
    m_rows.clear();
    const double height = container.bounds().height();
    std::vector<Placed> placed;
    for (const auto& view : container.subviews()) {
        if (std::ranges::find(leftOut, view) != leftOut.end())
            continue;
        const auto frame = view->frame();
        const double top = container.isFlipped() ? frame.minY() : height - frame.maxY();
        placed.push_back({ view, top, frame.height() });
    }
    std::ranges::sort(placed, {}, &Placed::top);
    for (const auto& p : placed) {
        if (m_rows.empty() || p.top >= m_rows.back().bottom)
            m_rows.push_back({ {}, p.top, p.top + p.height });
        auto& row = m_rows.back();
        row.views.push_back(p);
        row.bottom = std::max(row.bottom, p.top + p.height);
    }
}

void FormRows::closeUp(ui::View& container) const
{
    const double height = container.bounds().height();
    double removed = 0;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const auto& row = m_rows[i];
        for (const auto& p : row.views) {
            auto view = p.view.lock();
            if (!view)
                continue;
            const double top = p.top - removed;
            const double y = container.isFlipped() ? top : height - top - p.height;
            if (view->frame().minY() != y)
                view->setFrameOrigin({ view->frame().minX(), y });
        }
        if (row.hidden() && i + 1 < m_rows.size())
            removed += m_rows[i + 1].top - row.top;
    }
}
