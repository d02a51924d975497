#pragma once

#include <libical/ical.h>

#include <memory>

// Owns a libical component tree and frees it whole.
struct CIcalComponentFree {
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};
using CIcalComponent = std::unique_ptr<icalcomponent, CIcalComponentFree>;
