#pragma once
// Pulse duration and the animation's time step, free of the control so they can be checked alone.

namespace orvex::viewer {

// Half-amplitude duration of a Gaussian pulse of centre frequency f and relative bandwidth b per
// cent (MHz in, microseconds out). Zero or non-finite inputs give a non-finite width, which selects
// no leg.
double PulseDuration(double frequency, double bandwidthPercent);

// One animation tick: step by the increment and wrap to the start limit once strictly past the end.
double NextAnimationTime(double rayEndTime, double increment, double startLimit, double endLimit);

}  // namespace orvex::viewer
