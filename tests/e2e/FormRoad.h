#pragma once
// The form road: the main dialog never misleads or strands a member. Keys that once threw the
// form away, the category lists with the keyboard alone, a typed category, a name and a
// description of blanks, pictures that went missing, were emptied or are too large, and the
// inputs disabled while an upload runs, which neither the close box nor Alt+F4 ends, and a
// picture that goes missing while the content is hashed, which stops the upload at it.

#include "tests/e2e/Report.h"
#include "tests/e2e/Seedwright.h"

bool formRoad(CSeedwright& person, CReport& report, const RoadSettings& settings);
