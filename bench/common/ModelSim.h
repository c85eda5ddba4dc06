#pragma once

// The simulated switch of one model for a page benchmark, with the module's
// settings taken from that model's profile.

#include "SimProcess.h"
#include "device/DeviceProfile.h"

#include <cstdio>

inline bool StartModelSim(CSimProcess& sim, const QString& model) {
    if (!sim.Start({QStringLiteral("--model"), model})) {
        std::fprintf(stderr, "nsw-sim did not start: %s\n", qPrintable(sim.Output()));
        return false;
    }
    SDeviceProfile profile;
    ReadDeviceProfile(QStringLiteral(NSW_SOURCE_DIR "/res/profiles/") + model +
                          QStringLiteral("/User.ini"),
                      profile);
    ApplyDeviceProfile(profile);
    return true;
}
