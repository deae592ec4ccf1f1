#pragma once
// Ultrasonic physics the generator needs: materials, Snell's law, echo times, the probe pulse.
// Units throughout: millimetres, microseconds, mm/us for velocities, MHz for frequencies.

// Bulk wave velocities of a material.
struct CMaterial {
    double m_longitudinal;  // mm/us
    double m_shear;         // mm/us
};

// Carbon steel and the acrylic glass wedges are commonly made of.
constexpr CMaterial kSteel{5.92, 3.23};
constexpr CMaterial kAcrylic{2.73, 1.43};

// Snell's law: sin(out) / v2 = sin(in) / v1. Angles in radians from the interface normal.
// False beyond the critical angle (no transmitted wave of that mode).
bool RefractedAngle(double incident, double v1, double v2, double& refracted);
// The incidence angle in a medium of velocity v1 that refracts to `refracted` in a medium of v2.
double IncidentAngleFor(double refracted, double v1, double v2);
// Pulse-echo time of a backwall at the given thickness, for a wave at `angle` from the normal
// (0: straight down and back).
double BackwallEchoTime(double thickness, double velocity, double angle = 0.0);

// The probe pulse: a Gaussian-modulated cosine at frequency f (MHz) whose spectrum is b per cent
// wide at half amplitude; its envelope is w = 400 ln 2 / (pi f b) wide at half amplitude (us),
// the duration the viewer uses for its pulse display.
double PulseDuration(double frequency, double bandwidthPercent);
double PulseValue(double t, double frequency, double bandwidthPercent);
