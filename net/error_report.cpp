#include "net/error_report.h"

#include <cstdio>
#include <string>
#include <utility>

namespace lexiflip::net {
namespace {

ErrorReport& installedReport()
{
    static ErrorReport report;
    return report;
}

} // namespace

void setGeneralErrorReport(ErrorReport report)
{
    installedReport() = std::move(report);
}

void reportGeneralError(std::string_view text)
{
    if (const ErrorReport& report = installedReport()) {
        report(text);
        return;
    }
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
}

} // namespace lexiflip::net
