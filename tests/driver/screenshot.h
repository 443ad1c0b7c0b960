#pragma once

#include <QString>

namespace lexiflip::client {
class GameWindow;
}
namespace lexiflip::windows {
class Tgamestart;
}

namespace lexiflip::app {

// For the README's picture and for looking at the window: starts the solo game,
// plays the first own turn up to a word of two letters, saves the window's
// picture to file and quits.
void takeScreenshotWhenPlaying(client::GameWindow& game, windows::Tgamestart& gamestart, const QString& file);

} // namespace lexiflip::app
