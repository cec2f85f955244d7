#pragma once
// The shared design vocabulary: named lengths (pixels), motion durations (seconds), opacities and counts.

namespace QV {

// Spacing scale.
inline constexpr double xs = 4;
inline constexpr double sm = 8;
inline constexpr double md = 16;
inline constexpr double lg = 24;
inline constexpr double xl = 32;
inline constexpr double xxl = 48;
inline constexpr double space4 = 4;
inline constexpr double space6 = 6;
inline constexpr double space8 = 8;
inline constexpr double space10 = 10;
inline constexpr double space12 = 12;
inline constexpr double space16 = 16;
inline constexpr double space20 = 20;
inline constexpr double space24 = 24;
inline constexpr double space32 = 32;
inline constexpr double screenHorizontalInset = 18;
inline constexpr double screenTopInset = 16;
inline constexpr double cardContentInset = 14;

// Corner radii.
inline constexpr double rBadge = 8;
inline constexpr double rCard = 20;
inline constexpr double rButton = 24;
inline constexpr double rPill = 999;
inline constexpr double rAppOutline = 22;
inline constexpr double rSurface = 12;
inline constexpr double rSurfaceLarge = 12;
inline constexpr double rSequenceStep = 12;
inline constexpr double rSmallControl = 12;
inline constexpr double rKeycap = 12;
inline constexpr double rBottomBar = 27;

// Type sizes (font pixel sizes).
inline constexpr double tDisplay = 64;
inline constexpr double tDisplayMd = 56;
inline constexpr double tHeading = 32;
inline constexpr double tHeadingSm = 22;
inline constexpr double tSubheading = 18;
inline constexpr double tBody = 14;
inline constexpr double tBodySm = 13;
inline constexpr double tCaption = 12;
inline constexpr double tLabel = 10;
inline constexpr double tTimerNumeral = 44;
inline constexpr double tReportValue = 28;
inline constexpr double tScreenTitle = 22;
inline constexpr double tSectionTitle = 15;
inline constexpr double tCardTitle = 13;
inline constexpr double tReferenceBody = 12;
inline constexpr double tReferenceButton = 13;
inline constexpr double tSupportingValue = 11;
inline constexpr double tOverline = 10;
inline constexpr double tBottomBarTooltip = 10;

// Icon sizes and lines.
inline constexpr double iconSm = 12;
inline constexpr double iconMd = 16;
inline constexpr double iconLg = 20;
inline constexpr double iconXL = 32;
inline constexpr double hairline = 1;
inline constexpr double focusRing = 2;

// Popover and bottom bar.
inline constexpr double popoverWidth = 440;
inline constexpr double popoverHeight = 720;
inline constexpr double bottomBarHeight = 54;
inline constexpr double bottomBarContainerHeight = 70;
inline constexpr double floatingBarOuterMargin = 18;
inline constexpr double floatingBarBottomMargin = 16;
inline constexpr double bottomBarWidth = 404;
inline constexpr double bottomBarItemWidth = 101;
// Kept as the exact quotient: rounding it would make three items miss the bar's width.
inline constexpr double bottomBarThreeItemWidth = 404.0 / 3.0;
inline constexpr double bottomBarActiveSpacing = 6;
inline constexpr double bottomBarActiveHorizontalPadding = 14;
inline constexpr double minimumTapTarget = 44;

// Minute dial.
inline constexpr double dialSize = 228;
inline constexpr double idleDialSize = 152;
inline constexpr double dialTickWidth = 1.5;
inline constexpr double dialMajorTickWidth = 2;
inline constexpr double dialTickLength = 9;
inline constexpr double dialMajorTickLength = 13;
inline constexpr int dialTickCount = 60;
inline constexpr int dialMajorTickInterval = 5;

// Tab indicator and report chart.
inline constexpr double tabIndicatorWidth = 16;
inline constexpr double tabIndicatorHeight = 2;
inline constexpr double reportBarWidth = 12;
inline constexpr double reportChartHeight = 64;
inline constexpr double reportEmptyBarHeight = 2;

// Motion durations.
inline constexpr double motionFast = 0.12;
inline constexpr double motionStandard = 0.2;
inline constexpr double motionPressed = 0.08;
inline constexpr double motionSelection = 0.16;
inline constexpr double motionProgress = 0.25;

// Shadows: opacity, blur radius, vertical offset. No shadow has a horizontal offset.
inline constexpr double cardShadowOpacityNear = 0.03;
inline constexpr double cardShadowOpacityFar = 0.05;
inline constexpr double cardShadowRadiusNear = 2;
inline constexpr double cardShadowRadiusFar = 8;
inline constexpr double cardShadowYNear = 1;
inline constexpr double cardShadowYFar = 3;
inline constexpr double cardContactOpacity = 0.07;
inline constexpr double cardContactBlur = 2;
inline constexpr double cardContactY = 1;
inline constexpr double cardAmbientOpacity = 0.06;
inline constexpr double cardAmbientBlur = 14;
inline constexpr double cardAmbientY = 7;
inline constexpr double floatingContactOpacity = 0.08;
inline constexpr double floatingContactBlur = 3;
inline constexpr double floatingContactY = 2;
inline constexpr double floatingAmbientOpacity = 0.1;
inline constexpr double floatingAmbientBlur = 20;
inline constexpr double floatingAmbientY = 10;
inline constexpr double darkContactOpacity = 0.22;
inline constexpr double darkAmbientOpacity = 0.3;

} // namespace QV
