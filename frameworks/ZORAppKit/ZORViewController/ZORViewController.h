#pragma once

#include "platform/ui/controllers/ViewController.h"

// A view controller with hooks around the loading of its view, for subclasses.
class ZORViewController : public ui::ViewController {
    FND_OBJECT(ZORViewController)

public:
    ZORViewController() = default;

    // viewWillLoad, the base loading (the view from its interface file), then viewDidLoad.
    void loadView() override;
    virtual void viewWillLoad() { }
    virtual void viewDidLoad() { }
};
