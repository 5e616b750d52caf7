#pragma once

namespace tidemark {

class PreviewRegistry;

// The settings window's panes in their states, in the grouped and the plain form style.
void registerSettingsPreviews(PreviewRegistry& registry);

} // namespace tidemark
