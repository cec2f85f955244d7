#pragma once
// The appearance a colour is drawn in; palette colours pick their light or dark value from it.

enum class ColorScheme { light, dark };
