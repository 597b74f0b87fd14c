#pragma once
// The pictures road: a picture the site refuses stops the upload at it; after a torrent form the
// site failed, the retry posts only what the site does not hold, so each picture is on the site
// once; a torrent form without an answer is told as such; pictures left waiting are told of when
// the main dialog closes.

#include "tests/e2e/Report.h"
#include "tests/e2e/Seedwright.h"

bool picturesRoad(CSeedwright& person, CReport& report, const RoadSettings& settings);
