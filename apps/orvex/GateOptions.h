#pragma once
// The repeatable --gate START:END[:THRESHOLD] option of the commands that measure. The option
// parser keeps one value per option, so the gates are taken out of the arguments first.
#include <string>
#include <vector>

#include "host/GateMeasure.h"

// Moves every "--gate V" and "--gate=V" out of `args` into `gates`. False with `problem` when a
// value is missing or is not a gate.
bool TakeGateOptions(std::vector<std::string>& args, std::vector<SMeasureGate>& gates, std::string& problem);
