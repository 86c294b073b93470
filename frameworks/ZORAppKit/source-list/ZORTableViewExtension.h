#pragma once

#include "platform/ui/tables/TableView.h"
#include "platform/ui/tables/TableViewDelegate.h"

#include <vector>

// The further answer a ZORTableViewExtension asks of its delegate.
class ZORTableViewExtensionDelegate : public ui::TableViewDelegate {
public:
    // Delete or forward delete: true when the delegate took the key.
    virtual bool tableViewDidReceiveDeleteEvent(ui::TableView&, const ui::Event&) { return false; }
};

// A table view whose Delete and forward-delete keys go to the delegate when it takes them.
class ZORTableViewExtension : public ui::TableView {
    FND_OBJECT(ZORTableViewExtension)

public:
    ZORTableViewExtension() = default;
    static std::shared_ptr<ZORTableViewExtension> create(gfx::Rect frame = {});
    void keyDown(const ui::Event& event) override;
};

// Column widths fitted to their content, for any table view.
namespace ZORTableViewExtensionCat {
// Each column becomes as wide as the widest of its prepared cells over all rows (0 without rows).
void adjustWidthForTableColumns(ui::TableView& table, const std::vector<std::shared_ptr<ui::TableColumn>>& columns);
}
