#include "engine/computer_strength.h"

#include <array>
#include <utility>

namespace lexiflip::engine {
namespace {

constexpr std::array<std::pair<ComputerStrength, std::string_view>, 3> kNames{{
    {ComputerStrength::Classic, "classic"},
    {ComputerStrength::Strong, "strong"},
    {ComputerStrength::Expert, "expert"},
}};

} // namespace

std::string_view strengthName(ComputerStrength strength)
{
    for (const auto& [value, name] : kNames) {
        if (value == strength)
            return name;
    }
    return "classic";
}

std::optional<ComputerStrength> parseStrength(std::string_view name)
{
    for (const auto& [value, text] : kNames) {
        if (text == name)
            return value;
    }
    return std::nullopt;
}

} // namespace lexiflip::engine
