#pragma once
// The roads a person takes through Seedwright, each told step by step and checked on the way.

#include <cstddef>
#include <string>
#include <vector>

#include "tests/e2e/Report.h"
#include "tests/e2e/Seedwright.h"

// Runs the road called `name`; false when there is no such road.
bool runRoad(const std::string& name, const RoadSettings& settings, CReport& report);

// The client was started `count` times so far, the last time with `arguments` and then the site's
// copy of the torrent; `last` is that start. `client` names it in the report.
bool checkClientStartedWith(CSeedwright& person,
                            CReport& report,
                            std::size_t count,
                            const std::string& client,
                            const std::vector<std::string>& arguments,
                            ClientStart& last);

// The same for uTorrent's "/directory" and `folder`; the host then checks the data against the copy.
void checkClientStart(CSeedwright& person, CReport& report, std::size_t count, const std::string& folder);
