#pragma once

#include "toolkit/Previews.hpp"

namespace tidemark {

// The previews of the time entry's views: the pull's blob and label, the card in the front
// overlay, the card alone as it grows, and its controls.
void registerEntryPreviews(PreviewRegistry& registry);

} // namespace tidemark
