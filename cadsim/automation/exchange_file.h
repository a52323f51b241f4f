#pragma once

#include <string>

namespace cadsim::automation {

// Writes what Wblock makes of a selection: a small drawing-exchange text file with an
// ENTITIES section that holds one POINT per selected entity. Throws std::system_error when
// the file cannot be written.
void WriteExchangeFile(const std::wstring& path, const std::wstring& drawingName, int entities);

}  // namespace cadsim::automation
