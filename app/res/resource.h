#pragma once
// Identifiers of all the program's resources: the icon's in app/state/res, each subsystem's
// dialogs, controls and strings in its own id header. For the resource compiler (Seedwright.rc)
// and the tests that drive the whole program; a subsystem's code includes its own header only.

#include "app/state/res/ProgramIds.h"
#include "client/res/ClientIds.h"
#include "install/res/InstallIds.h"
#include "site/res/SiteIds.h"
#include "torrent/res/TorrentIds.h"
#include "upload/res/UploadIds.h"
