#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/error.h"

namespace platform {

class AutomationObject;

// An optional argument that is left out.
struct Omitted {};
// A string passed by reference; the server may change it.
struct TextByRef {
    std::wstring* text;
};
// An automation object passed as a variant by reference.
struct ObjectByRef {
    AutomationObject* object;
};
using Argument = std::variant<std::int32_t, Omitted, TextByRef, ObjectByRef>;

// A late-bound automation object, reached by member names. The object holds one reference to
// the server's object and releases it when destroyed. Every failure throws AutomationError.
class AutomationObject {
  public:
    virtual ~AutomationObject() = default;

    // Members whose result is used (invoked as a method or property get), converted.
    virtual std::wstring GetText(const std::wstring& member) = 0;
    virtual std::int32_t GetInteger(const std::wstring& member) = 0;
    virtual bool GetBool(const std::wstring& member) = 0;
    // Any integer result, as the 64 bits of a handle (32-bit values sign-extended).
    virtual std::uint64_t GetHandle(const std::wstring& member) = 0;
    virtual std::unique_ptr<AutomationObject> GetObject(const std::wstring& member,
                                                        const std::vector<Argument>& arguments) = 0;
    std::unique_ptr<AutomationObject> GetObject(const std::wstring& member) {
        return GetObject(member, {});
    }

    // A member whose result is ignored (invoked as a method).
    virtual void Call(const std::wstring& member, const std::vector<Argument>& arguments) = 0;
    void Call(const std::wstring& member) { Call(member, {}); }
};

// How long a call may wait for its answer. A server that neither answers nor refuses (a long
// regeneration, a plot, a hang) would otherwise hold the calling thread for as long as that lasts.
class CallWaitLimit {
  public:
    // Whether the call in progress is to be given up, `waited` being how long the system counts
    // that it has waited so far.
    virtual bool IsWaitPastLimit(std::chrono::milliseconds waited) noexcept = 0;

  protected:
    ~CallWaitLimit() = default;
};

// Automation servers registered on the system and running in its object table.
class Automation {
  public:
    virtual ~Automation() = default;
    // The limit that the calls made from now on keep while they wait; nullptr: none, a call waits
    // for as long as the server takes. Returns the limit it replaces, for the caller to put back.
    // A call given up fails with kCallCanceled.
    virtual CallWaitLimit* LimitCallWaits(CallWaitLimit* limit) = 0;
    // Whether a server for the identifier runs; throws when the identifier is not registered,
    // and with a refusal code when the running server refused to answer.
    virtual bool IsActive(const std::wstring& progId) = 0;
    // The running server's object; throws when it is not registered or not running.
    virtual std::unique_ptr<AutomationObject> Attach(const std::wstring& progId) = 0;
};

// A failed automation call: the member (or identifier), the result code and, where the server
// gave one, its description.
class AutomationError : public Error {
  public:
    AutomationError(std::wstring message, std::wstring member, std::uint32_t code)
        : Error(std::move(message)), member_(std::move(member)), code_(code) {}
    const std::wstring& Member() const noexcept { return member_; }
    std::uint32_t Code() const noexcept { return code_; }

  private:
    std::wstring member_;
    std::uint32_t code_;
};

// The result codes of a call that a busy server refused without running it: the call was
// rejected, or the server asked to be called again later. Made again, it may be answered.
inline constexpr std::uint32_t kCallRejected = 0x80010001u;
inline constexpr std::uint32_t kServerCallRetryLater = 0x8001010Au;

inline bool IsRefusedCall(std::uint32_t code) noexcept {
    return code == kCallRejected || code == kServerCallRetryLater;
}

// The result code of a call that was given up while it waited for an answer (RPC_E_CALL_CANCELED).
inline constexpr std::uint32_t kCallCanceled = 0x80010002u;

}  // namespace platform
