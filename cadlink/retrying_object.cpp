#include "cadlink/retrying_object.h"

#include <utility>
#include <variant>

namespace cadlink {

RetryingObject::RetryingObject(std::unique_ptr<platform::AutomationObject> object,
                               CallBudget& budget)
    : object_(std::move(object)), budget_(budget) {}

// The server knows only the objects it handed out, so an object passed as an argument goes as
// the one that its wrapper holds.
std::vector<platform::Argument> RetryingObject::Unwrapped(
    const std::vector<platform::Argument>& arguments) {
    std::vector<platform::Argument> unwrapped = arguments;
    for (platform::Argument& argument : unwrapped) {
        if (auto* byRef = std::get_if<platform::ObjectByRef>(&argument)) {
            if (const auto* wrapper = dynamic_cast<const RetryingObject*>(byRef->object)) {
                byRef->object = wrapper->object_.get();
            }
        }
    }
    return unwrapped;
}

std::wstring RetryingObject::GetText(const std::wstring& member) {
    return budget_.Run(member, [&] { return object_->GetText(member); });
}

std::int32_t RetryingObject::GetInteger(const std::wstring& member) {
    return budget_.Run(member, [&] { return object_->GetInteger(member); });
}

bool RetryingObject::GetBool(const std::wstring& member) {
    return budget_.Run(member, [&] { return object_->GetBool(member); });
}

std::uint64_t RetryingObject::GetHandle(const std::wstring& member) {
    return budget_.Run(member, [&] { return object_->GetHandle(member); });
}

std::unique_ptr<platform::AutomationObject> RetryingObject::GetObject(
    const std::wstring& member, const std::vector<platform::Argument>& arguments) {
    const std::vector<platform::Argument> passed = Unwrapped(arguments);
    return std::make_unique<RetryingObject>(
        budget_.Run(member, [&] { return object_->GetObject(member, passed); }), budget_);
}

void RetryingObject::Call(const std::wstring& member,
                          const std::vector<platform::Argument>& arguments) {
    const std::vector<platform::Argument> passed = Unwrapped(arguments);
    budget_.Run(member, [&] { object_->Call(member, passed); });
}

}  // namespace cadlink
