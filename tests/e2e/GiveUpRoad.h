#pragma once
// The give-up road: the member can always get out while Seedwright waits for the site, and a
// request given up on never comes back. The login closed while it connects to a site that never
// finishes its handshake; a copy of the torrent the site drips, given up at the limit the message
// names, then a clean upload in the same session that reaches the client with no late message;
// Cancel while a picture post stalls, back to idle at once with every field kept; closing while
// a post stalls, asked first, and the program ends.

#include "tests/e2e/Report.h"
#include "tests/e2e/Seedwright.h"

bool giveUpRoad(CSeedwright& person, CReport& report, const RoadSettings& settings);
