#pragma once

#include <string>

namespace cadlink {

// The automation identifier of AutoCAD's server: "Autocad.Application." and the version text.
// Composed at panel creation, by every monitor tick and by the drawing switcher; read by
// everything that talks to AutoCAD.
inline std::wstring CadProgId = L"Autocad.Application.24";

inline std::wstring ComposeCadProgId(const std::wstring& apiVerNum) {
    return L"Autocad.Application." + apiVerNum;
}

}  // namespace cadlink
