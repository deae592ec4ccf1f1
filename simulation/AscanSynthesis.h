#pragma once
// The A-scan of one probe position: echo arrivals from the reflectors the beam can reach, each
// a Gaussian-modulated pulse at the probe's frequency and bandwidth, over a little grain noise.
#include <cstdint>
#include <vector>

#include "simulation/Scene.h"

struct CEcho {
    double m_time = 0.0;       // pulse-echo arrival, us
    double m_amplitude = 0.0;  // peak, in A-scan units (full screen is 1)
};

// The sound path from the probe centre through the wedge, refracted into shear in the steel, to a
// point of the block (y < 0): the incidence angle in the wedge and the one-way time. False when no
// refracted ray reaches the point or its exit lies outside the wedge.
bool SolveShearPath(const CInspectionScene& scene, double exitX, CPlanePoint target, double& wedgeAngle,
                    double& oneWayTime);

// The echoes seen with the beam exiting at exitX: the hole (directly and after a backwall
// bounce) and the corner where the backwall meets the far end of the block.
std::vector<CEcho> FindEchoes(const CInspectionScene& scene, double exitX);

// Samples at dataStart + k * interval for k < count; values stay within -1..1.
void SynthesiseAscan(const std::vector<CEcho>& echoes, double frequency, double bandwidthPercent, double dataStart,
                     double interval, int32_t count, uint64_t noiseSeed, std::vector<float>& samples);
