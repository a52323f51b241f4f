#pragma once

#include <string>

#include "platform/panel.h"
#include "platform/profile_files.h"

namespace settings {

// What the loader needs to place a panel that has no stored position: the primary screen's
// size and the panel's outer size, in pixels.
struct Placement {
    int screenWidth;
    int screenHeight;
    int panelWidth;
    int panelHeight;
};

// Reads the eight values into the panel, in their order: position, registered executable (and
// its menu caption), the four option boxes (a box stored as off raises its click once), the
// version into the version field. Returns the version, from which the caller composes the
// automation identifier.
std::wstring LoadPanelSettings(platform::Panel& panel, platform::ProfileFiles& files,
                               const std::wstring& path, const Placement& placement);

// Writes the eight values from the panel, in the same order; a failed write throws and the
// writes after it are skipped.
void SavePanelSettings(platform::Panel& panel, platform::ProfileFiles& files,
                       const std::wstring& path);

}  // namespace settings
