#include "client/settings/menu_options.h"

namespace lexiflip::settings {

bool isChecked(MenuOption option, int tag, const Preferences& prefs)
{
    switch (option) {
    case MenuOption::PlaySounds:
        return prefs.playsounds;
    case MenuOption::ChatterSounds:
        return prefs.chatterSounds;
    case MenuOption::TurnSound:
        return static_cast<int>(prefs.turnsound) == tag;
    case MenuOption::BotSpeed:
        return static_cast<int>(prefs.botspeed) == tag;
    case MenuOption::KlotStrength:
        return static_cast<int>(prefs.klotStrength) == tag;
    case MenuOption::SeeTheirs:
        return prefs.seetheirs;
    case MenuOption::ClearWord:
        return prefs.clearword;
    case MenuOption::TextSize:
        return textsizeMenuEntry(prefs.textsize) == tag;
    case MenuOption::NotifyMyTurn:
        return prefs.notifyMyTurn;
    case MenuOption::OpenRouterPort:
        return prefs.openRouterPort;
    }
    return false;
}

void choose(MenuOption option, int tag, bool checked, Preferences& prefs)
{
    switch (option) {
    case MenuOption::PlaySounds:
        prefs.playsounds = checked;
        break;
    case MenuOption::ChatterSounds:
        prefs.chatterSounds = checked;
        break;
    case MenuOption::TurnSound:
        prefs.turnsound = tag == static_cast<int>(TurnSound::New) ? TurnSound::New : TurnSound::Classic;
        break;
    case MenuOption::BotSpeed:
        prefs.botspeed = static_cast<BotSpeed>(tag);
        break;
    case MenuOption::KlotStrength:
        prefs.klotStrength = (tag == static_cast<int>(KlotStrength::Strong))   ? KlotStrength::Strong
                             : (tag == static_cast<int>(KlotStrength::Expert)) ? KlotStrength::Expert
                                                                               : KlotStrength::Classic;
        break;
    case MenuOption::SeeTheirs:
        prefs.seetheirs = checked;
        break;
    case MenuOption::ClearWord:
        prefs.clearword = checked;
        break;
    case MenuOption::TextSize:
        prefs.textsize = tag;
        break;
    case MenuOption::NotifyMyTurn:
        prefs.notifyMyTurn = checked;
        break;
    case MenuOption::OpenRouterPort:
        prefs.openRouterPort = checked;
        break;
    }
}

} // namespace lexiflip::settings
