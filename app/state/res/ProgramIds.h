#pragma once
// The program's own resource ids, shared by the subsystems' dialogs. Only #defines: read by the
// resource compiler too.

#define IDI_SEEDWRIGHT 5
