#pragma once

#include <memory>

#include "cadlink/call_budget.h"
#include "platform/automation.h"

namespace cadlink {

// An automation object of AutoCAD's whose every call is made again within a budget while the
// server refuses it; the objects it hands out do the same within the same budget, which must
// outlive them all.
class RetryingObject final : public platform::AutomationObject {
  public:
    RetryingObject(std::unique_ptr<platform::AutomationObject> object, CallBudget& budget);

    std::wstring GetText(const std::wstring& member) override;
    std::int32_t GetInteger(const std::wstring& member) override;
    bool GetBool(const std::wstring& member) override;
    std::uint64_t GetHandle(const std::wstring& member) override;
    std::unique_ptr<platform::AutomationObject> GetObject(
        const std::wstring& member, const std::vector<platform::Argument>& arguments) override;
    void Call(const std::wstring& member,
              const std::vector<platform::Argument>& arguments) override;

  private:
    static std::vector<platform::Argument> Unwrapped(
        const std::vector<platform::Argument>& arguments);

    std::unique_ptr<platform::AutomationObject> object_;
    CallBudget& budget_;
};

}  // namespace cadlink
