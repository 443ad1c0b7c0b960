#pragma once

#include <exception>

#include "net/error_report.h"

namespace lexiflip::client {

// Runs one event handler of the window; nothing it raises crosses the event
// loop: it reaches the application's general error report instead.
template <class Step> void guarded(Step&& step)
{
    try {
        step();
    } catch (const std::exception& error) {
        net::reportGeneralError(error.what());
    } catch (...) {
        net::reportGeneralError("Error here");
    }
}

} // namespace lexiflip::client
