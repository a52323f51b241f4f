#include <windows.h>

#include "cadsim/automation/members.h"

namespace cadsim::automation {

bool SameName(std::wstring_view a, std::wstring_view b) {
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::wstring CanonicalMemberName(std::wstring_view text) {
    const std::size_t dot = text.find(L'.');
    if (dot == std::wstring_view::npos) {
        return {};
    }
    const std::wstring_view object = text.substr(0, dot);
    const std::wstring_view member = text.substr(dot + 1);
    for (const ObjectInfo& info : {kApplication, kState, kDocuments, kDocument, kSelectionSet}) {
        if (!SameName(info.name, object)) {
            continue;
        }
        for (const MemberInfo& candidate : info.members) {
            if (SameName(candidate.name, member)) {
                return std::wstring(info.name) + L"." + std::wstring(candidate.name);
            }
        }
    }
    return {};
}

}  // namespace cadsim::automation
