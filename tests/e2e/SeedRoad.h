#pragma once
// The seed road: what a member's client does with an upload. Three uploads of 4 MiB each, a
// folder, a single file and a folder whose file and folder names are Cyrillic and Japanese, each
// through a backend wait that ends by itself once the tracker lists the upload, to "Upload
// Complete!"; the stand-in client hands each start on
// to a real client (SW_SWARM_WEBUI), and the host checks alongside that the real client seeds the
// member's content as it found it and a peer downloads every byte of it. Then the client's
// program file is deleted: the next upload must not claim a client start that never happened.
//
// For the host, each upload handed on adds a line to seed-checks.txt in the data folder:
//   <the client's copy of the torrent> TAB <the member's content> TAB <"Upload Complete!" seen, ms since 1970>
//   TAB <the backend wait gone, ms since 1970>

#include <string>

#include "tests/e2e/Report.h"
#include "tests/e2e/Seedwright.h"

bool seedRoad(CSeedwright& person, CReport& report, const RoadSettings& settings);
// For bench/time-to-seed.sh: one upload of the folder "Bench Folder" in the data folder, handed to
// the client as on the seed road, the backend wait left to end by itself; what the driver saw
// when goes to timeline.txt in the data folder, one "MS<TAB>EVENT" line each.
bool timedRoad(CSeedwright& person, CReport& report, const RoadSettings& settings);

// The client the seed road registers: a copy of the built one that the road may delete. Empty
// when it could not be copied.
std::string seedRoadClient(const RoadSettings& settings);
