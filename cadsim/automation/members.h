#pragma once

#include <span>
#include <string>
#include <string_view>

namespace cadsim::automation {

// What a member's caller expects back; decides what a "wrong-type" result looks like.
enum class ResultKind { value, object, none };

struct MemberInfo {
    std::wstring_view name;
    ResultKind result;
};

// The members of each object kind, in DISPID order (DISPID = position + 1).
inline constexpr MemberInfo kApplicationMembers[] = {
    {L"FullName", ResultKind::value},        {L"HWND", ResultKind::value},
    {L"ActiveDocument", ResultKind::object}, {L"Documents", ResultKind::object},
    {L"GetAcadState", ResultKind::object},
};
inline constexpr MemberInfo kStateMembers[] = {{L"IsQuiescent", ResultKind::value}};
inline constexpr MemberInfo kDocumentsMembers[] = {
    {L"Count", ResultKind::value},
    {L"Item", ResultKind::object},
};
inline constexpr MemberInfo kDocumentMembers[] = {
    {L"FullName", ResultKind::value}, {L"Name", ResultKind::value},
    {L"Activate", ResultKind::none},  {L"ActiveSelectionSet", ResultKind::object},
    {L"Wblock", ResultKind::none},
};
inline constexpr MemberInfo kSelectionSetMembers[] = {
    {L"Clear", ResultKind::none},
    {L"Select", ResultKind::none},
    {L"Count", ResultKind::value},
};

struct ObjectInfo {
    std::wstring_view name;
    std::span<const MemberInfo> members;
};

inline constexpr ObjectInfo kApplication{L"Application", kApplicationMembers};
inline constexpr ObjectInfo kState{L"State", kStateMembers};
inline constexpr ObjectInfo kDocuments{L"Documents", kDocumentsMembers};
inline constexpr ObjectInfo kDocument{L"Document", kDocumentMembers};
inline constexpr ObjectInfo kSelectionSet{L"SelectionSet", kSelectionSetMembers};

// "Object.Member" in its own spelling for text naming a member in any case; empty when the
// text names none.
std::wstring CanonicalMemberName(std::wstring_view text);

// Case-insensitive comparison, as automation compares member names.
bool SameName(std::wstring_view a, std::wstring_view b);

}  // namespace cadsim::automation
