#include "client/shell/settings_location.h"

#include "client/platform/app_paths.h"
#include "client/settings/lexiflip_settings.h"

namespace lexiflip::client {

std::filesystem::path settingsFilePath()
{
    return std::filesystem::path(appFilePath(QString::fromUtf8(settings::kFileName)).toStdString());
}

} // namespace lexiflip::client
