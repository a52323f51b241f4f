#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "platform/automation.h"
#include "fake_clock.h"

namespace fakes {

class FakeNode;
using FakeValue =
    std::variant<std::wstring, std::int32_t, bool, std::uint64_t, std::shared_ptr<FakeNode>>;
using FakeMember = std::function<FakeValue(const std::vector<platform::Argument>&)>;

// What the fake server saw: every call in order, how many objects clients still hold, and the
// name of each object in the order the clients released them.
// With failAtCall set to n, the n-th call (counted from 1, availability checks and attaches
// included) fails as a failing server's would. While refuseCalls is above 0, each call is
// refused, as a busy server refuses it, without running or being logged, and counted in
// `refused`. With hangAtCall set to n, the n-th call runs and is answered only `hangFor` later on
// `clock`; meanwhile, as COM does for each message that arrives (the panel's timer), the wait
// limit in force is asked every `messageEvery`, and the call fails with kCallCanceled as soon as
// the limit says so.
struct FakeServerLog {
    std::vector<std::wstring> calls;  // "Object.Member" with arguments in brackets
    int liveObjects = 0;
    std::vector<std::wstring> released;
    std::size_t failAtCall = 0;
    int refuseCalls = 0;
    int refused = 0;
    std::uint32_t refusalCode = platform::kCallRejected;
    std::size_t hangAtCall = 0;
    std::chrono::milliseconds hangFor{0};
    std::chrono::milliseconds messageEvery{200};
    FakeClock* clock = nullptr;
    platform::CallWaitLimit* waitLimit = nullptr;
    std::vector<std::chrono::milliseconds> waitsAsked;  // the `waited` of each question

    void Hang(const std::wstring& call, const std::wstring& member) {
        std::chrono::milliseconds waited{0};
        while (waited < hangFor) {
            const std::chrono::milliseconds step = std::min(messageEvery, hangFor - waited);
            clock->now += step;
            waited += step;
            if (waited < hangFor && waitLimit != nullptr) {
                waitsAsked.push_back(waited);
                if (waitLimit->IsWaitPastLimit(waited)) {
                    throw platform::AutomationError(call + L": canceled", member,
                                                    platform::kCallCanceled);
                }
            }
        }
    }

    void Record(std::wstring call, const std::wstring& member) {
        if (refuseCalls > 0) {
            --refuseCalls;
            ++refused;
            throw platform::AutomationError(call + L": refused", member, refusalCode);
        }
        calls.push_back(std::move(call));
        if (calls.size() == hangAtCall) {
            Hang(calls.back(), member);
        }
        if (calls.size() == failAtCall) {
            throw platform::AutomationError(calls.back() + L": failed", member, 0x80004005u);
        }
    }
};

// One scripted object of the fake object model: a name and members by name.
class FakeNode {
  public:
    explicit FakeNode(std::wstring name) : name_(std::move(name)) {}

    FakeNode& On(const std::wstring& member, FakeMember behaviour) {
        members_[member] = std::move(behaviour);
        return *this;
    }
    FakeNode& Returns(const std::wstring& member, const FakeValue& value) {
        return On(member, [value](const std::vector<platform::Argument>&) { return value; });
    }
    FakeNode& Fails(const std::wstring& member) {
        return On(member, [this, member](const std::vector<platform::Argument>&) -> FakeValue {
            throw platform::AutomationError(name_ + L"." + member + L" failed", member,
                                            0x80020009u);
        });
    }

    const std::wstring& Name() const { return name_; }
    const FakeMember* Find(const std::wstring& member) const {
        const auto found = members_.find(member);
        return found == members_.end() ? nullptr : &found->second;
    }

  private:
    std::wstring name_;
    std::map<std::wstring, FakeMember> members_;
};

inline std::wstring DescribeArgument(const platform::Argument& argument) {
    if (const auto* integer = std::get_if<std::int32_t>(&argument)) {
        return std::to_wstring(*integer);
    }
    if (std::holds_alternative<platform::Omitted>(argument)) {
        return L"-";
    }
    if (const auto* text = std::get_if<platform::TextByRef>(&argument)) {
        return L"&\"" + *text->text + L"\"";
    }
    return L"&object";
}

// A client's reference to a fake object; counts itself among the live objects.
class FakeObject : public platform::AutomationObject {
  public:
    FakeObject(std::shared_ptr<FakeNode> node, FakeServerLog& log)
        : node_(std::move(node)), log_(log) {
        ++log_.liveObjects;
    }
    ~FakeObject() override {
        --log_.liveObjects;
        log_.released.push_back(node_->Name());
    }
    FakeObject(const FakeObject&) = delete;
    FakeObject& operator=(const FakeObject&) = delete;

    const FakeNode& Node() const { return *node_; }

    std::wstring GetText(const std::wstring& member) override {
        return As<std::wstring>(member, {});
    }
    std::int32_t GetInteger(const std::wstring& member) override {
        return As<std::int32_t>(member, {});
    }
    bool GetBool(const std::wstring& member) override { return As<bool>(member, {}); }
    std::uint64_t GetHandle(const std::wstring& member) override {
        return As<std::uint64_t>(member, {});
    }
    std::unique_ptr<platform::AutomationObject> GetObject(
        const std::wstring& member, const std::vector<platform::Argument>& arguments) override {
        return std::make_unique<FakeObject>(As<std::shared_ptr<FakeNode>>(member, arguments), log_);
    }
    void Call(const std::wstring& member,
              const std::vector<platform::Argument>& arguments) override {
        Invoke(member, arguments);
    }

  private:
    FakeValue Invoke(const std::wstring& member, const std::vector<platform::Argument>& arguments) {
        std::wstring call = node_->Name() + L"." + member;
        if (!arguments.empty()) {
            call += L"(";
            for (std::size_t i = 0; i < arguments.size(); ++i) {
                call += (i ? L"," : L"") + DescribeArgument(arguments[i]);
            }
            call += L")";
        }
        log_.Record(call, member);
        const FakeMember* behaviour = node_->Find(member);
        if (behaviour == nullptr) {
            throw platform::AutomationError(member + L": unknown name", member, 0x80020006u);
        }
        return (*behaviour)(arguments);
    }

    template <typename T>
    T As(const std::wstring& member, const std::vector<platform::Argument>& arguments) {
        FakeValue value = Invoke(member, arguments);
        if (auto* typed = std::get_if<T>(&value)) {
            return *typed;
        }
        throw platform::AutomationError(member + L": type mismatch", member, 0x80020005u);
    }

    std::shared_ptr<FakeNode> node_;
    FakeServerLog& log_;
};

// Identifiers registered on the fake system, each with its running Application or none.
class FakeAutomation : public platform::Automation {
  public:
    void Register(const std::wstring& progId, std::shared_ptr<FakeNode> application) {
        servers_[progId] = std::move(application);
    }

    bool IsActive(const std::wstring& progId) override {
        log.Record(L"IsActive " + progId, progId);
        return Server(progId) != nullptr;
    }
    platform::CallWaitLimit* LimitCallWaits(platform::CallWaitLimit* limit) override {
        return std::exchange(log.waitLimit, limit);
    }
    std::unique_ptr<platform::AutomationObject> Attach(const std::wstring& progId) override {
        log.Record(L"Attach " + progId, progId);
        std::shared_ptr<FakeNode> application = Server(progId);
        if (!application) {
            throw platform::AutomationError(progId + L": not running", progId, 0x800401E3u);
        }
        return std::make_unique<FakeObject>(std::move(application), log);
    }

    FakeServerLog log;

  private:
    std::shared_ptr<FakeNode> Server(const std::wstring& progId) {
        const auto found = servers_.find(progId);
        if (found == servers_.end()) {
            throw platform::AutomationError(L"Invalid class string", progId, 0x800401F3u);
        }
        return found->second;
    }

    std::map<std::wstring, std::shared_ptr<FakeNode>> servers_;
};

}  // namespace fakes
