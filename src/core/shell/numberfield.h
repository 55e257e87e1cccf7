#pragma once
// The value of a number typed into a dialog's edit box: a decimal integer, optionally signed and
// surrounded by spaces, within the field's range. Anything else is refused and the dialog tells
// "値が有効範囲を超えています。".

#include <optional>
#include <string_view>

namespace rekal {

// The number in `text` when it lies in [minimum, maximum]; none for an empty text, a text that is
// not a whole number, or a value outside the range (however many digits it has).
std::optional<int> parseNumberField(std::string_view text, int minimum, int maximum);

} // namespace rekal
