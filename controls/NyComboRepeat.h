// The auto-repeat timing of the combo bitmap button, from the keyboard's own
// settings, as plain arithmetic.
#pragma once

namespace ny::controls {

// The button's repeat timer (one per button window).
constexpr unsigned kRepeatTimerId = 823;

// Milliseconds from a press to the first repeat for the keyboard delay
// setting (SPI_GETKEYBOARDDELAY, 0 to 3): 250 to 1000. A value outside the
// documented range is taken at the nearer end.
constexpr unsigned RepeatDelayMs(int delay) {
  const int clamped = delay < 0 ? 0 : delay > 3 ? 3 : delay;
  return static_cast<unsigned>((clamped + 1) * 250);
}

// Milliseconds between repeats for the keyboard speed setting
// (SPI_GETKEYBOARDSPEED, 0 to 31): 400 at 0 down to 33 at 31, the division
// rounding down. Clamped as above.
constexpr unsigned RepeatRateMs(int speed) {
  const int clamped = speed < 0 ? 0 : speed > 31 ? 31 : speed;
  return static_cast<unsigned>(400 - clamped * 367 / 31);
}

}  // namespace ny::controls
