#pragma once

#include <unicode/ucal.h>

#include <memory>

namespace fnd::detail {

struct CalendarDeleter {
    void operator()(UCalendar* calendar) const { ucal_close(calendar); }
};
using CalendarHandle = std::unique_ptr<UCalendar, CalendarDeleter>;

}
