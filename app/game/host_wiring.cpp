#include "app/game/host_wiring.h"

#include <QObject>

#include "client/settings/lexiflip_settings.h"
#include "client/window/game_window.h"
#include "engine/computer_strength.h"
#include "host/tserver.h"

namespace lexiflip::app {

void attachHost(host::TServer& server, client::GameWindow& window)
{
    QObject::connect(&server, &host::TServer::noticed, &window, &client::GameWindow::addHostNotice);
    QObject::connect(&window, &client::GameWindow::botSpeedChosen, &server, &host::TServer::setBotSpeedMs);
    static_assert(static_cast<int>(settings::KlotStrength::Expert) ==
                          static_cast<int>(engine::ComputerStrength::Expert) &&
                      static_cast<int>(settings::KlotStrength::Strong) ==
                          static_cast<int>(engine::ComputerStrength::Strong),
                  "the menu's strengths are the engine's");
    QObject::connect(&window, &client::GameWindow::klotStrengthChosen, &server, [&server](int strength) {
        server.setKlotStrength(static_cast<engine::ComputerStrength>(strength));
    });
}

} // namespace lexiflip::app
