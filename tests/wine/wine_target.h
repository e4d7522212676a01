#pragma once
// Where the Windows test program puts its window: below keeprun's main window,
// which Wine places a little away from the corner, so pictures of it stay clear.
namespace keeprun::wine {

constexpr int kTargetX = 20;
constexpr int kTargetY = 860;
constexpr int kTargetSize = 120;

} // namespace keeprun::wine
