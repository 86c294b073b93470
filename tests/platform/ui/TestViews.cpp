#include "TestViews.h"

namespace uitest {

FND_REGISTER_CLASS(TestView, ui::View)

}
