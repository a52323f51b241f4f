#include "app/error_report.h"

#include <string>

#include "app/app_texts.h"
#include "platform/error.h"

namespace app {
namespace {

std::wstring Widen(const char* text) {
    std::wstring wide;
    for (const char* c = text; *c != '\0'; ++c) {
        wide += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    }
    return wide;
}

}  // namespace

void ErrorReport::RunReportingErrors(const std::function<void()>& handler) const {
    try {
        handler();
    } catch (...) {
        Report(std::current_exception());
    }
}

bool ErrorReport::Report(const std::exception_ptr& error) const noexcept {
    try {
        Show(error);
    } catch (...) {
        // Not even the box could be shown: the program goes on all the same.
        platform::TraceSwallowed(trace_, L"ErrorReport, the error", error);
        platform::TraceSwallowed(trace_, L"ErrorReport, the box", std::current_exception());
    }
    return true;
}

void ErrorReport::Show(const std::exception_ptr& error) const {
    std::wstring text;
    try {
        std::rethrow_exception(error);
    } catch (const platform::Error& failure) {
        text = failure.Message();
    } catch (const std::exception& failure) {
        text = Widen(failure.what());
    } catch (...) {
        text = texts::kUnknownError;
    }
    dialogs_.ShowError(text);
}

}  // namespace app
