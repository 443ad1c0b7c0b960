#pragma once

#include <functional>
#include <string_view>

namespace lexiflip::net {

// The application's general error report: where an error raised inside an
// event handler ends up, since no exception may cross the event loop. The game
// window shows a message box; lexiflip-host writes to standard error, which is
// also what happens until a report is installed.
using ErrorReport = std::function<void(std::string_view text)>;

// Installs the report (an empty function restores the standard-error default).
void setGeneralErrorReport(ErrorReport report);

void reportGeneralError(std::string_view text);

} // namespace lexiflip::net
