// The button layout of a customizable tool bar as kept in the settings: the command ids of its
// buttons in order, 0 for a separator.
#pragma once

#include <optional>
#include <span>
#include <vector>

namespace tarnwell {

std::vector<unsigned char> EncodeToolBarLayout(std::span<const int> ids);

// The layout in `bytes`, or nothing when they are not one. Ids that are not among `known` (buttons of
// another version) and second appearances of a button are left out.
std::optional<std::vector<int>> DecodeToolBarLayout(std::span<const unsigned char> bytes, std::span<const int> known);

}  // namespace tarnwell
