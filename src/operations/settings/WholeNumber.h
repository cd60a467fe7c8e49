#pragma once
// The number fields of the settings dialogs: what counts as a number there.

#include <optional>
#include <string>

namespace msrw {

// Bigger than any limit a field has: longer digit runs come out as this.
inline constexpr long long kWholeNumberCeiling = 1'000'000;

// The text as a whole number, when it is decimal digits alone (spaces around
// them aside); capped at kWholeNumberCeiling so that very long digit runs
// count as too big, not as no number. nullopt for anything else.
std::optional<long long> WholeNumberOf(const std::string& text);

} // namespace msrw
