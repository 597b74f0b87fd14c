#pragma once
// The roads a person takes through Seedwright, each told step by step and checked on the way.

#include <cstddef>
#include <string>

#include "tests/e2e/Report.h"
#include "tests/e2e/Seedwright.h"

// Runs the road called `name`; false when there is no such road.
bool runRoad(const std::string& name, const RoadSettings& settings, CReport& report);

// The client was started `count` times so far, the last time with "/directory", `folder` and the
// site's copy of the torrent; the host then checks the data against that copy.
void checkClientStart(CSeedwright& person, CReport& report, std::size_t count, const std::string& folder);
