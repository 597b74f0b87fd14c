#pragma once
// The roads a person takes through Seedwright, each told step by step and checked on the way.

#include <string>

#include "tests/e2e/Report.h"
#include "tests/e2e/Seedwright.h"

// Runs the road called `name`; false when there is no such road.
bool runRoad(const std::string& name, const RoadSettings& settings, CReport& report);
