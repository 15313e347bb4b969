// Seeded random use run in child processes of the stand-in, so that a crash of the plug-in is a
// result, not the end; a failing run is shrunk to a short operation list that still fails.
#pragma once
#include <string>

struct CampaignOptions {
    std::string seeds = "1"; // comma separated
    int count = 2000;
    std::string kinds;      // --ops; "" all
    std::string pluginPath; // passed on to the children
    int shrinkSeconds = 120;
};

int RunRandomCampaign(const CampaignOptions& options);
