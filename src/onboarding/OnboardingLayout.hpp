#pragma once

// The spacing every onboarding view shares, in device-independent pixels.
namespace tidemark::OnboardingLayout {

// The window's content.
inline constexpr double windowWidth = 700;
inline constexpr double windowHeight = 600;
// Padding around the row of controls under the pages.
inline constexpr double controlsPadding = 10;
// The height of each button label of the controls.
inline constexpr double buttonHeight = 28;
// Between a label's icon and its title, in the page header and on the first and last pages.
inline constexpr double spacing = 20;
// Half of it lies between the header and the form, and between the form's sections.
inline constexpr double sectionSpacing = 40;
// The page header's padding at the sides and on top.
inline constexpr double horizontalPadding = 100;
inline constexpr double verticalPadding = 60;
// The form lies further in than the header.
inline constexpr double formHorizontalPadding = horizontalPadding + 60;
// The label's icon.
inline constexpr double iconHeight = 80;
// The application's icon on the first page.
inline constexpr double appIconLength = 128;
// The controls fade in and out, and change, over this many seconds.
inline constexpr double controlsFadeDuration = 0.4;
// The last page's place for the drag demonstration: width to height.
inline constexpr double demonstrationAspectRatio = 1.618034;

} // namespace tidemark::OnboardingLayout
