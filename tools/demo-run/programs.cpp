// The demo programs that demo-run can start: one line per program, added as each lands.
#include "tools/demo-run/program_table.h"

#include "programs/drizzle/drizzle_app.h"
#include "programs/flurry/flurry_app.h"
#include "programs/glasshall/glasshall_app.h"
#include "programs/halfspace/halfspace_app.h"
#include "programs/landscaper/landscaper_app.h"
#include "programs/relief/relief_app.h"
#include "programs/tether/tether_app.h"

const std::vector<ProgramEntry> BuiltPrograms = {
    {"relief", RunApplication<ReliefApp>},
    {"tether", RunApplication<TetherApp>},
    {"flurry", RunApplication<FlurryApp>},
    {"drizzle", RunApplication<DrizzleApp>},
    {"halfspace", RunApplication<HalfspaceApp>},
    {"glasshall", RunApplication<GlasshallApp>},
    {"landscaper", RunApplication<LandscaperApp>},
};
