#pragma once

// Identifiers of the resources that merido_b.rc puts into the executable. This header is read
// both by the resource compiler and by C++ code, so it holds nothing but #define lines.

// The application icon: the first icon group, which the shell shows for the executable. The
// panel and the picker load it with LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP_ICON)).
#define IDI_APP_ICON 1
