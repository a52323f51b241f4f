#include "bench/soak/x_input.h"

#include <cstdio>
#include <stdexcept>

namespace soak {

void XInput::Click(POINT at, int button) {
    Run("mousemove --sync " + std::to_string(at.x) + " " + std::to_string(at.y) + " click " +
        std::to_string(button));
}

void XInput::Keys(const std::string& keys) { Run("key --delay 60 " + keys); }

void XInput::Tap(const std::string& key, DWORD holdMs) {
    char hold[32];
    std::snprintf(hold, sizeof hold, "%.3f", holdMs / 1000.0);
    Run("keydown " + key + " sleep " + hold + " keyup " + key);
}

void XInput::Run(const std::string& arguments) {
    std::printf("@@xdotool %s\n", arguments.c_str());
    std::fflush(stdout);
    char reply[64] = {};
    if (std::fgets(reply, sizeof reply, stdin) == nullptr) {
        throw std::runtime_error("the script that runs xdotool went away");
    }
    if (std::string(reply).rfind("ok", 0) != 0) {
        throw std::runtime_error("xdotool failed: " + arguments);
    }
}

}  // namespace soak
