#pragma once
// Where the test program puts its window: right of and below keeprun's main
// window, which sits at 0,0.
namespace keeprun::e2e {

constexpr int kTargetX = 1100;
constexpr int kTargetY = 640;
constexpr int kTargetSize = 120;

} // namespace keeprun::e2e
