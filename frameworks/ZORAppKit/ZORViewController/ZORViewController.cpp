#include "frameworks/ZORAppKit/ZORViewController/ZORViewController.h"

FND_REGISTER_CLASS(ZORViewController, ui::ViewController)

void ZORViewController::loadView()
{
    viewWillLoad();
    ui::ViewController::loadView();
    viewDidLoad();
}
