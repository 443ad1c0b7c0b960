#pragma once

#include "client/settings/lexiflip_settings.h"

namespace lexiflip::settings {

// A preference the Options menu shows as a check entry or as a group of radio
// entries; a radio entry's tag is the value it stands for (a turn sound, a bot
// speed in milliseconds, Klot's strength, a text size in points).
enum class MenuOption {
    PlaySounds,
    ChatterSounds,
    TurnSound,
    BotSpeed,
    KlotStrength,
    SeeTheirs,
    ClearWord,
    TextSize,
    NotifyMyTurn,
    OpenRouterPort,
};

// Whether the entry of option (with tag, for a radio entry) is checked while
// prefs hold. A text size the menu lacks checks none of its entries.
bool isChecked(MenuOption option, int tag, const Preferences& prefs);

// The player chose that entry: checked is the check entry's new state; a radio
// entry is always chosen, whatever its state was.
void choose(MenuOption option, int tag, bool checked, Preferences& prefs);

} // namespace lexiflip::settings
