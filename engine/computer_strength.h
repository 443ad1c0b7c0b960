#pragma once

#include <optional>
#include <string_view>

namespace lexiflip::engine {

// How well the host's computer plays a seat. Classic flips five tiles at
// random and plays the first common word that fits; Strong flips as Classic
// does and plays the best word the dictionary allows, buying a new bar when
// that is worth more; Expert plays as Strong and also remembers every tile
// turned face up since its letter was drawn, and flips the ones his best word
// wants. All three send the messages a person's client would.
// The numbers are those the hosting window's menu tags its entries with.
enum class ComputerStrength { Classic = 0, Strong = 1, Expert = 2 };

// "classic", "strong", "expert".
std::string_view strengthName(ComputerStrength strength);
// The strength of a name as strengthName gives it; nothing for anything else.
std::optional<ComputerStrength> parseStrength(std::string_view name);

} // namespace lexiflip::engine
