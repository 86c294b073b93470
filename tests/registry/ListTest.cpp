#include "platform/ui/views/View.h"
#include "platform/ui/controls/Cell.h"
#include <gtest/gtest.h>
#include <iostream>
TEST(List, Views) {
    for (auto* c : fnd::ClassRegistry::shared().classesDerivedFrom(ui::View::staticClassInfo())) {
        std::cout << "VIEW " << c->name.utf8() << " < " << (c->superclass ? c->superclass->name.utf8() : "") << (c->factory ? "" : " NOFACTORY") << "\n";
    }
    for (auto* c : fnd::ClassRegistry::shared().classesDerivedFrom(ui::Cell::staticClassInfo())) {
        std::cout << "CELL " << c->name.utf8() << " < " << (c->superclass ? c->superclass->name.utf8() : "") << (c->factory ? "" : " NOFACTORY") << "\n";
    }
}
