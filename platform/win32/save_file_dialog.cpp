#include <windows.h>
#include <commdlg.h>

#include "platform/win32/save_file_dialog.h"

#include <algorithm>
#include <vector>

#include "platform/win32/current_folder.h"

namespace platform::win32 {
namespace {

// Room for long paths: the dialog writes the accepted name into this buffer.
constexpr DWORD kBufferLength = 32768;

// Pairs of shown text and pattern; the literal's own terminator closes the list.
constexpr wchar_t kFilter[] = L"*.dwg\0*.dwg\0*.dxf\0*.dxf\0";

}  // namespace

std::optional<std::wstring> ShowSaveFileDialog(HWND owner, const std::wstring& initialFolder,
                                               const std::wstring& fileName) {
    std::vector<wchar_t> buffer(kBufferLength, L'\0');
    std::copy_n(fileName.begin(), std::min<std::size_t>(fileName.size(), kBufferLength - 1),
                buffer.begin());

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = kBufferLength;
    dialog.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
    dialog.lpstrDefExt = L"dwg";
    // The current folder stays where it was: the dialog is asked to put it back, and the
    // keeper makes sure it is.
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
    const CurrentFolderKeeper keeper;

    // Zero means cancelled or failed (CommDlgExtendedError tells which); both give nothing.
    if (::GetSaveFileNameW(&dialog) == FALSE) {
        return std::nullopt;
    }
    return std::wstring(buffer.data());
}

}  // namespace platform::win32
