#include "bench/soak/system_lists.h"

#include <winternl.h>

#include <stdexcept>

#include "platform/win32/unique_handles.h"

namespace soak {
namespace {

constexpr auto kSystemHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(16);
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);

struct SystemHandleEntry {
    ULONG processId;
    BYTE objectType;
    BYTE flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
};

struct SystemHandleList {
    ULONG count;
    SystemHandleEntry entries[1];
};

// One of the system's lists, in a buffer that grows until the list fits.
std::vector<BYTE> QuerySystemList(SYSTEM_INFORMATION_CLASS list) {
    std::vector<BYTE> buffer(1 << 20);
    for (;;) {
        ULONG needed = 0;
        const NTSTATUS status = ::NtQuerySystemInformation(
            list, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == kInfoLengthMismatch) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (status < 0) {
            throw std::runtime_error("cannot read the system's process or handle list");
        }
        return buffer;
    }
}

// The text of an object's type or name (both answers begin with a UNICODE_STRING).
std::wstring QueryObjectText(HANDLE object, OBJECT_INFORMATION_CLASS what) {
    std::vector<BYTE> buffer(4096);
    ULONG length = 0;
    if (::NtQueryObject(object, what, buffer.data(), static_cast<ULONG>(buffer.size()), &length) <
        0) {
        return {};
    }
    const auto* text = reinterpret_cast<const UNICODE_STRING*>(buffer.data());
    return text->Buffer ? std::wstring(text->Buffer, text->Length / sizeof(wchar_t))
                        : std::wstring();
}

}  // namespace

std::vector<USHORT> HandlesOf(DWORD processId) {
    const std::vector<BYTE> buffer = QuerySystemList(kSystemHandleInformation);
    const auto* list = reinterpret_cast<const SystemHandleList*>(buffer.data());
    std::vector<USHORT> handles;
    for (ULONG i = 0; i < list->count; ++i) {
        if (list->entries[i].processId == processId) {
            handles.push_back(list->entries[i].handle);
        }
    }
    return handles;
}

std::uint64_t CommitChargeOf(DWORD processId) {
    const std::vector<BYTE> buffer = QuerySystemList(SystemProcessInformation);
    for (std::size_t offset = 0;;) {
        const auto* entry = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(&buffer[offset]);
        if (reinterpret_cast<ULONG_PTR>(entry->UniqueProcessId) == processId) {
            return entry->VirtualMemoryCounters.PagefileUsage;
        }
        if (entry->NextEntryOffset == 0) {
            throw std::runtime_error("the process is not in the process list");
        }
        offset += entry->NextEntryOffset;
    }
}

std::wstring KeyNameOf(HANDLE process, USHORT handle) {
    HANDLE copy = nullptr;
    if (!::DuplicateHandle(process, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(handle)),
                           ::GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
        return {};
    }
    const platform::win32::UniqueKernelHandle owned(copy);
    // Only a key's name is asked for: asking a pipe's may wait on Windows.
    if (QueryObjectText(copy, ObjectTypeInformation) != L"Key") {
        return {};
    }
    return QueryObjectText(copy, ObjectNameInformation);
}

}  // namespace soak
