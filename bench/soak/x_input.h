#pragma once

// Input as a person makes it: the pointer and the keys of the X server that Wine draws on, moved
// and pressed by xdotool on the Linux side. The driver asks for each action with one line
// "@@xdotool <arguments>" on its standard output; run_soak.sh runs xdotool with those arguments
// and answers "ok" (or "failed") on the driver's standard input once xdotool has ended.

#include <windows.h>

#include <string>

namespace soak {

class XInput {
  public:
    // Moves the pointer to the screen point (Wine's virtual desktop lies at the display's
    // origin, so screen and X coordinates agree) and clicks the button (1 left, 3 right).
    void Click(POINT at, int button = 1);
    // Presses and releases each key in turn, as xdotool names them ("Tab Tab Return").
    void Keys(const std::string& keys);
    // Holds one key for the time and lets it go: a lone Shift or Ctrl tap.
    void Tap(const std::string& key, DWORD holdMs);

  private:
    void Run(const std::string& arguments);
};

}  // namespace soak
