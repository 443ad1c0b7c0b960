// The Options menu's entries over the preferences: what each choice changes
// and which entries are checked for given preferences.
#include "client/settings/menu_options.h"

#include <gtest/gtest.h>

#include <functional>

namespace lexiflip::settings {
namespace {

TEST(MenuOptions, EachChoiceChangesItsOwnPreferenceAndChecksItsEntry)
{
    using M = MenuOption;
    const struct {
        MenuOption option;
        int tag;
        bool checked;
        std::function<void(Preferences&)> expected;
    } cases[] = {
        {M::PlaySounds, 0, false, [](Preferences& p) { p.playsounds = false; }},
        {M::ChatterSounds, 0, true, [](Preferences& p) { p.chatterSounds = true; }},
        {M::SeeTheirs, 0, true, [](Preferences& p) { p.seetheirs = true; }},
        {M::ClearWord, 0, true, [](Preferences& p) { p.clearword = true; }},
        {M::TurnSound, 1, true, [](Preferences& p) { p.turnsound = TurnSound::New; }},
        {M::BotSpeed, 1000, true, [](Preferences& p) { p.botspeed = BotSpeed::Slow; }},
        {M::BotSpeed, 250, true, [](Preferences& p) { p.botspeed = BotSpeed::Fast; }},
        {M::TextSize, 14, true, [](Preferences& p) { p.textsize = 14; }},
        {M::NotifyMyTurn, 0, false, [](Preferences& p) { p.notifyMyTurn = false; }},
        {M::OpenRouterPort, 0, false, [](Preferences& p) { p.openRouterPort = false; }},
        {M::KlotStrength, 2, true, [](Preferences& p) { p.klotStrength = KlotStrength::Expert; }},
        {M::KlotStrength, 1, true, [](Preferences& p) { p.klotStrength = KlotStrength::Strong; }},
        // A radio entry clicked while checked stays chosen.
        {M::TurnSound, 0, false, [](Preferences&) {}},
        {M::BotSpeed, 750, false, [](Preferences&) {}},
    };
    for (const auto& c : cases) {
        Preferences chosen;
        choose(c.option, c.tag, c.checked, chosen);
        Preferences expected;
        c.expected(expected);
        EXPECT_EQ(chosen, expected) << int(c.option) << " " << c.tag;
        // A check entry shows its new state; a chosen radio entry is checked.
        const bool radio = c.option == M::TurnSound || c.option == M::BotSpeed || c.option == M::TextSize ||
                           c.option == M::KlotStrength;
        EXPECT_EQ(isChecked(c.option, c.tag, chosen), radio || c.checked) << int(c.option) << " " << c.tag;
    }
}

// The built-in preferences check what the menu showed before the file is
// read, and a text size the menu lacks checks none of its sizes.
TEST(MenuOptions, CheckedEntriesFollowThePreferences)
{
    using M = MenuOption;
    const Preferences builtIn;
    Preferences odd;
    odd.textsize = 9;
    const struct {
        const Preferences& prefs;
        MenuOption option;
        int tag;
        bool checked;
    } cases[] = {
        {builtIn, M::PlaySounds, 0, true},   {builtIn, M::ChatterSounds, 0, false},
        {builtIn, M::TurnSound, 0, true},    {builtIn, M::TurnSound, 1, false},
        {builtIn, M::BotSpeed, 750, true},   {builtIn, M::BotSpeed, 1000, false},
        {builtIn, M::BotSpeed, 250, false},  {builtIn, M::SeeTheirs, 0, false},
        {builtIn, M::ClearWord, 0, false},   {builtIn, M::TextSize, 8, true},
        {builtIn, M::TextSize, 10, false},   {odd, M::TextSize, 8, false},
        {odd, M::TextSize, 9, false},        {odd, M::TextSize, 14, false},
        {builtIn, M::NotifyMyTurn, 0, true}, {builtIn, M::OpenRouterPort, 0, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isChecked(c.option, c.tag, c.prefs), c.checked) << int(c.option) << " " << c.tag;
}

} // namespace
} // namespace lexiflip::settings
