#pragma once

#include "toolkit/Previews.hpp"

namespace tidemark {

// The previews of the scroll entry's card in each of its states.
void registerScrollEntryPreviews(PreviewRegistry& registry);

} // namespace tidemark
