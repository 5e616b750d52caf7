#pragma once

#include "toolkit/Previews.hpp"

namespace tidemark {

// The previews of the menu bar's views.
void registerMenubarPreviews(PreviewRegistry& registry);

} // namespace tidemark
