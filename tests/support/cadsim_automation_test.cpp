// cadsim's automation server, reached from this process as the panel reaches AutoCAD's: by
// ProgID, through the running object table, and by late binding.
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cadsim/automation/com_values.h"
#include "tests/support/cadsim_client.h"
#include "tests/support/record_file.h"
#include "tests/support/test_bin_dir.h"

namespace {

using cadsim::automation::BstrText;
using cadsim::automation::Variant;
using Microsoft::WRL::ComPtr;
using test_support::CadSim;

constexpr WORD kResult = DISPATCH_METHOD | DISPATCH_PROPERTYGET;
constexpr WORD kMethod = DISPATCH_METHOD;
constexpr DWORD kReleaseTimeoutMs = 10000;

class ComApartment {
  public:
    ComApartment() : status_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(status_)) {
            ::CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    HRESULT Status() const { return status_; }

  private:
    HRESULT status_;
};

struct Outcome {
    HRESULT status = E_FAIL;
    std::wstring description;
};

// GetIDsOfNames for the one name, then Invoke; arguments in the caller's order.
Outcome Invoke(IDispatch* object, const wchar_t* name, WORD flags, std::vector<VARIANT> arguments,
               Variant* result = nullptr) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT status = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(status)) {
        return {status, {}};
    }
    std::reverse(arguments.begin(), arguments.end());
    DISPPARAMS params{arguments.data(), nullptr, static_cast<UINT>(arguments.size()), 0};
    EXCEPINFO exception{};
    UINT argumentError = 0;
    status =
        object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                       result != nullptr ? result->get() : nullptr, &exception, &argumentError);
    Outcome outcome{status, BstrText(exception.bstrDescription)};
    ::SysFreeString(exception.bstrSource);
    ::SysFreeString(exception.bstrDescription);
    ::SysFreeString(exception.bstrHelpFile);
    return outcome;
}

ComPtr<IDispatch> GetObject(IDispatch* object, const wchar_t* name,
                            std::vector<VARIANT> arguments = {}) {
    Variant result;
    const Outcome outcome = Invoke(object, name, kResult, std::move(arguments), &result);
    if (outcome.status != S_OK || result->vt != VT_DISPATCH) {
        ADD_FAILURE() << "no object from " << std::string(name, name + wcslen(name)) << ": 0x"
                      << std::hex << outcome.status << " vt " << result->vt;
        return nullptr;
    }
    return ComPtr<IDispatch>(result->pdispVal);
}

std::wstring GetText(IDispatch* object, const wchar_t* name) {
    Variant result;
    EXPECT_EQ(Invoke(object, name, kResult, {}, &result).status, S_OK);
    EXPECT_EQ(result->vt, VT_BSTR);
    return result->vt == VT_BSTR ? BstrText(result->bstrVal) : std::wstring();
}

LONG GetInt32(IDispatch* object, const wchar_t* name) {
    Variant result;
    EXPECT_EQ(Invoke(object, name, kResult, {}, &result).status, S_OK);
    EXPECT_EQ(result->vt, VT_I4);
    return result->vt == VT_I4 ? result->lVal : -1;
}

VARIANT Int32(LONG value) {
    VARIANT argument{};
    argument.vt = VT_I4;
    argument.lVal = value;
    return argument;
}

VARIANT Missing() {
    VARIANT argument{};
    argument.vt = VT_ERROR;
    argument.scode = DISP_E_PARAMNOTFOUND;
    return argument;
}

std::vector<VARIANT> SelectAllArguments() {
    return {Int32(5), Missing(), Missing(), Missing(), Missing()};
}

// Wblock's two arguments as the panel passes them: the file name as a BSTR by reference and
// the selection set as a VARIANT by reference. The owners keep what the references point to,
// also when the call writes new values back.
class WblockArguments {
  public:
    WblockArguments(const std::wstring& path, IDispatch* set) {
        fileName_.SetText(path);
        set_.SetObject(set);
    }
    std::vector<VARIANT> Get() {
        VARIANT file{};
        file.vt = VT_BSTR | VT_BYREF;
        file.pbstrVal = &fileName_->bstrVal;
        VARIANT set{};
        set.vt = VT_VARIANT | VT_BYREF;
        set.pvarVal = set_.get();
        return {file, set};
    }

  private:
    Variant fileName_;
    Variant set_;
};

CLSID ClsidOf(const wchar_t* progId) {
    CLSID clsid{};
    EXPECT_EQ(::CLSIDFromProgID(progId, &clsid), S_OK);
    return clsid;
}

HRESULT ActiveObjectStatus(const wchar_t* progId) {
    CLSID clsid{};
    const HRESULT status = ::CLSIDFromProgID(progId, &clsid);
    if (FAILED(status)) {
        return status;
    }
    ComPtr<IUnknown> object;
    return ::GetActiveObject(clsid, nullptr, object.GetAddressOf());
}

ComPtr<IDispatch> AttachApplication(const wchar_t* progId = L"Autocad.Application.24") {
    ComPtr<IUnknown> object;
    if (FAILED(::GetActiveObject(ClsidOf(progId), nullptr, object.GetAddressOf()))) {
        return nullptr;
    }
    ComPtr<IDispatch> application;
    object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(application.GetAddressOf()));
    return application;
}

std::wstring TempPath(const std::wstring& name) {
    wchar_t folder[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, folder);
    return folder + name;
}

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (const wchar_t unit : text) {
        narrow += static_cast<char>(unit);  // the tests' paths are ASCII
    }
    return narrow;
}

std::size_t CountLines(const std::vector<std::string>& lines, const std::string& line) {
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

class AutomationTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(com_.Status(), S_OK); }

    // cadsim registered as version 24, with the given drawings ("name|path|count").
    void Start(const std::vector<std::wstring>& drawings = {},
               const std::wstring& version = L"24") {
        CadSim::Options options;
        options.automationVersion = version;
        sim_ = std::make_unique<CadSim>(options);
        for (const std::wstring& drawing : drawings) {
            ASSERT_EQ(sim_->Send(L"doc add " + drawing), 1);
        }
        ASSERT_TRUE(sim_->WaitForRecordLine("ready"));
    }

    bool Recorded(const std::string& line) { return sim_->WaitForRecordLine(line, 5000); }

    bool LiveObjectsReach(LRESULT count) {
        return sim_->WaitFor([&] { return sim_->LiveObjects() == count; }, kReleaseTimeoutMs);
    }

    ComApartment com_;
    std::unique_ptr<CadSim> sim_;
};

TEST(AutomationIds, RegisteredVersionsResolveAndOthersDoNot) {
    const ComApartment com;
    CLSID v24{};
    CLSID v25{};
    CLSID other{};
    ASSERT_EQ(::CLSIDFromProgID(L"Autocad.Application.24", &v24), S_OK);
    ASSERT_EQ(::CLSIDFromProgID(L"Autocad.Application.25", &v25), S_OK);
    EXPECT_NE(v24, v25);
    EXPECT_TRUE(FAILED(::CLSIDFromProgID(L"Autocad.Application.99", &other)));
    EXPECT_TRUE(FAILED(::CLSIDFromProgID(L"Autocad.Application.", &other)));
}

TEST_F(AutomationTest, RunningObjectTableFollowsRegistration) {
    Start();
    EXPECT_EQ(ActiveObjectStatus(L"Autocad.Application.24"), S_OK);
    EXPECT_TRUE(FAILED(ActiveObjectStatus(L"Autocad.Application.25")));

    // The server stops while the main window stays.
    ASSERT_EQ(sim_->Send(L"automation off"), 1);
    EXPECT_TRUE(
        sim_->WaitFor([] { return FAILED(ActiveObjectStatus(L"Autocad.Application.24")); }));
    EXPECT_TRUE(::IsWindow(sim_->MainWindow()));

    ASSERT_EQ(sim_->Send(L"automation on 25"), 1);
    EXPECT_EQ(ActiveObjectStatus(L"Autocad.Application.25"), S_OK);
    EXPECT_TRUE(FAILED(ActiveObjectStatus(L"Autocad.Application.24")));
    ASSERT_EQ(sim_->Send(L"automation on"), 1);  // the last version again
    EXPECT_EQ(ActiveObjectStatus(L"Autocad.Application.25"), S_OK);

    // An unknown version fails and leaves nothing registered; the last good one stays chosen.
    EXPECT_EQ(sim_->Send(L"automation on 99"), 0);
    EXPECT_TRUE(
        sim_->WaitFor([] { return FAILED(ActiveObjectStatus(L"Autocad.Application.25")); }));
    ASSERT_EQ(sim_->Send(L"automation on"), 1);
    EXPECT_EQ(ActiveObjectStatus(L"Autocad.Application.25"), S_OK);
    EXPECT_EQ(sim_->Send(L"automation sideways"), 0);
}

TEST_F(AutomationTest, WithoutTheOptionNothingIsRegisteredUntilAskedWithAVersion) {
    Start({}, L"");
    EXPECT_TRUE(FAILED(ActiveObjectStatus(L"Autocad.Application.24")));
    EXPECT_EQ(sim_->Send(L"automation on"), 0);  // no version known yet
    ASSERT_EQ(sim_->Send(L"automation on 24"), 1);
    EXPECT_EQ(ActiveObjectStatus(L"Autocad.Application.24"), S_OK);
}

TEST_F(AutomationTest, MemberNamesResolveWithoutRegardToCase) {
    Start({L"a.dwg|C:\\dwg\\a.dwg|1"});
    const ComPtr<IDispatch> application = AttachApplication();
    ASSERT_TRUE(application);
    const ComPtr<IDispatch> documents = GetObject(application.Get(), L"Documents");
    const ComPtr<IDispatch> document = GetObject(application.Get(), L"ActiveDocument");
    const ComPtr<IDispatch> state = GetObject(application.Get(), L"GetAcadState");
    ASSERT_TRUE(documents && document && state);
    const ComPtr<IDispatch> set = GetObject(document.Get(), L"ActiveSelectionSet");
    ASSERT_TRUE(set);

    struct Object {
        IDispatch* object;
        std::vector<std::wstring> members;
    };
    const Object objects[] = {
        {application.Get(),
         {L"FullName", L"HWND", L"ActiveDocument", L"Documents", L"GetAcadState"}},
        {state.Get(), {L"IsQuiescent"}},
        {documents.Get(), {L"Count", L"Item"}},
        {document.Get(), {L"FullName", L"Name", L"Activate", L"ActiveSelectionSet", L"Wblock"}},
        {set.Get(), {L"Clear", L"Select", L"Count"}},
    };
    for (const Object& object : objects) {
        std::vector<DISPID> seen;
        for (const std::wstring& member : object.members) {
            std::wstring lower = member;
            std::wstring upper = member;
            std::transform(lower.begin(), lower.end(), lower.begin(), ::towlower);
            std::transform(upper.begin(), upper.end(), upper.begin(), ::towupper);
            DISPID ids[3] = {};
            for (int i = 0; i < 3; ++i) {
                const std::wstring& spelling = i == 0 ? member : i == 1 ? lower : upper;
                LPOLESTR names[] = {const_cast<LPOLESTR>(spelling.c_str())};
                EXPECT_EQ(object.object->GetIDsOfNames(IID_NULL, names, 1, 0, &ids[i]), S_OK)
                    << Narrow(spelling);
            }
            EXPECT_EQ(ids[0], ids[1]) << Narrow(member);
            EXPECT_EQ(ids[0], ids[2]) << Narrow(member);
            EXPECT_EQ(std::count(seen.begin(), seen.end(), ids[0]), 0) << Narrow(member);
            seen.push_back(ids[0]);
        }
        for (const wchar_t* unknown : {L"NoSuchMember", L"FullNam", L""}) {
            LPOLESTR names[] = {const_cast<LPOLESTR>(unknown)};
            DISPID id = 0;
            EXPECT_EQ(object.object->GetIDsOfNames(IID_NULL, names, 1, 0, &id), DISP_E_UNKNOWNNAME);
            EXPECT_EQ(id, DISPID_UNKNOWN);
        }
    }
    // A member of another object is unknown here.
    EXPECT_EQ(Invoke(application.Get(), L"Count", kResult, {}).status, DISP_E_UNKNOWNNAME);
    EXPECT_EQ(Invoke(state.Get(), L"Name", kResult, {}).status, DISP_E_UNKNOWNNAME);
}

TEST_F(AutomationTest, ApplicationFullNameIsSettableAndRecordedWithTheCallersFlags) {
    Start();
    const ComPtr<IDispatch> application = AttachApplication();
    ASSERT_TRUE(application);

    const std::wstring own = test_support::TestBinDir() + L"\\cadsim.exe";
    const std::wstring reported = GetText(application.Get(), L"FullName");
    EXPECT_EQ(::CompareStringOrdinal(reported.c_str(), -1, own.c_str(), -1, TRUE), CSTR_EQUAL)
        << Narrow(reported);
    EXPECT_TRUE(Recorded("call Application.FullName flags=3 args="));

    ASSERT_EQ(sim_->Send(L"full-name C:\\Program Files\\Autodesk\\acad.exe"), 1);
    EXPECT_EQ(GetText(application.Get(), L"fullname"), L"C:\\Program Files\\Autodesk\\acad.exe");
    ASSERT_EQ(sim_->Send(L"full-name acad.exe"), 1);
    EXPECT_EQ(GetText(application.Get(), L"FullName"), L"acad.exe");
    ASSERT_EQ(sim_->Send(L"full-name "), 1);
    EXPECT_EQ(GetText(application.Get(), L"FullName"), L"");

    Variant result;
    EXPECT_EQ(Invoke(application.Get(), L"FullName", DISPATCH_PROPERTYGET, {}, &result).status,
              S_OK);
    EXPECT_TRUE(Recorded("call Application.FullName flags=2 args="));
    // Nothing can be set.
    EXPECT_EQ(Invoke(application.Get(), L"FullName", DISPATCH_PROPERTYPUT, {}).status,
              DISP_E_MEMBERNOTFOUND);
}

TEST_F(AutomationTest, HwndIsTheMainWindowInTheChosenVariantType) {
    Start();
    const ComPtr<IDispatch> application = AttachApplication();
    ASSERT_TRUE(application);
    const auto handle = reinterpret_cast<std::uintptr_t>(sim_->MainWindow());
    ASSERT_NE(handle, 0u);

    struct Case {
        const wchar_t* command;  // none: the default
        VARTYPE type;
    };
    const Case cases[] = {{nullptr, VT_I8}, {L"I4", VT_I4}, {L"UI4", VT_UI4}, {L"I8", VT_I8}};
    for (const Case& c : cases) {
        if (c.command != nullptr) {
            ASSERT_EQ(sim_->Send(std::wstring(L"hwnd-type ") + c.command), 1);
        }
        Variant result;
        ASSERT_EQ(Invoke(application.Get(), L"HWND", kResult, {}, &result).status, S_OK);
        ASSERT_EQ(result->vt, c.type);
        switch (c.type) {
            case VT_I4:
                EXPECT_EQ(result->lVal, static_cast<LONG>(static_cast<std::uint32_t>(handle)));
                break;
            case VT_UI4:
                EXPECT_EQ(result->ulVal, static_cast<ULONG>(handle));
                break;
            default:
                EXPECT_EQ(static_cast<std::uintptr_t>(result->llVal), handle);
                break;
        }
    }
    EXPECT_EQ(sim_->Send(L"hwnd-type I2"), 0);
    EXPECT_TRUE(Recorded("call Application.HWND flags=3 args="));
}

TEST_F(AutomationTest, StateIsQuiescentWhileIdle) {
    Start();
    const ComPtr<IDispatch> application = AttachApplication();
    ASSERT_TRUE(application);
    const ComPtr<IDispatch> state = GetObject(application.Get(), L"GetAcadState");
    ASSERT_TRUE(state);

    const std::pair<const wchar_t*, VARIANT_BOOL> steps[] = {
        {nullptr, VARIANT_TRUE}, {L"busy", VARIANT_FALSE}, {L"idle", VARIANT_TRUE}};
    for (const auto& [command, expected] : steps) {
        if (command != nullptr) {
            ASSERT_EQ(sim_->Send(command), 1);
        }
        Variant result;
        ASSERT_EQ(Invoke(state.Get(), L"IsQuiescent", kResult, {}, &result).status, S_OK);
        ASSERT_EQ(result->vt, VT_BOOL);
        EXPECT_EQ(result->boolVal, expected);
    }
    EXPECT_TRUE(Recorded("call Application.GetAcadState flags=3 args="));
    EXPECT_TRUE(Recorded("call State.IsQuiescent flags=3 args="));
}

TEST_F(AutomationTest, DocumentsListsTheDrawingsAndActivateChangesTheActiveOne) {
    Start({L"b.dwg|C:\\dwg\\b.dwg|1", L"C.dwg|D:\\plans\\C.dwg|2", L"a.dwg|C:\\dwg\\a.dwg|3"});
    const ComPtr<IDispatch> application = AttachApplication();
    ASSERT_TRUE(application);
    const ComPtr<IDispatch> documents = GetObject(application.Get(), L"Documents");
    ASSERT_TRUE(documents);

    ASSERT_EQ(GetInt32(documents.Get(), L"Count"), 3);
    const std::pair<std::wstring, std::wstring> expected[] = {{L"b.dwg", L"C:\\dwg\\b.dwg"},
                                                              {L"C.dwg", L"D:\\plans\\C.dwg"},
                                                              {L"a.dwg", L"C:\\dwg\\a.dwg"}};
    for (LONG i = 0; i < 3; ++i) {
        const ComPtr<IDispatch> document = GetObject(documents.Get(), L"Item", {Int32(i)});
        ASSERT_TRUE(document);
        EXPECT_EQ(GetText(document.Get(), L"Name"), expected[i].first);
        EXPECT_EQ(GetText(document.Get(), L"FullName"), expected[i].second);
    }
    EXPECT_TRUE(Recorded("call Documents.Item flags=3 args=I4:2"));
    for (const LONG outside : {3, -1}) {
        Variant result;
        const Outcome outcome =
            Invoke(documents.Get(), L"Item", kResult, {Int32(outside)}, &result);
        EXPECT_EQ(outcome.status, DISP_E_EXCEPTION) << outside;
        EXPECT_EQ(outcome.description, L"cadsim: Documents.Item index out of range");
    }

    // The first drawing added is the active one until another is activated.
    const ComPtr<IDispatch> first = GetObject(application.Get(), L"ActiveDocument");
    ASSERT_TRUE(first);
    EXPECT_EQ(GetText(first.Get(), L"Name"), L"b.dwg");
    const ComPtr<IDispatch> second = GetObject(documents.Get(), L"Item", {Int32(1)});
    ASSERT_TRUE(second);
    ASSERT_EQ(Invoke(second.Get(), L"Activate", kMethod, {}).status, S_OK);
    EXPECT_TRUE(Recorded("call Document.Activate flags=1 args="));
    EXPECT_EQ(GetText(GetObject(application.Get(), L"ActiveDocument").Get(), L"Name"), L"C.dwg");
    ASSERT_EQ(sim_->Send(L"doc active 2"), 1);
    EXPECT_EQ(GetText(GetObject(application.Get(), L"ActiveDocument").Get(), L"Name"), L"a.dwg");
    EXPECT_EQ(sim_->Send(L"doc active 3"), 0);
    EXPECT_EQ(sim_->Send(L"doc add missing-count|C:\\x.dwg"), 0);
    EXPECT_EQ(sim_->Send(L"doc add bad-count|C:\\x.dwg|-1"), 0);

    // Without an open drawing there is no active document, and older Documents fail.
    ASSERT_EQ(sim_->Send(L"docs clear"), 1);
    EXPECT_EQ(GetInt32(documents.Get(), L"Count"), 0);
    Variant active;
    const Outcome none = Invoke(application.Get(), L"ActiveDocument", kResult, {}, &active);
    EXPECT_EQ(none.status, DISP_E_EXCEPTION);
    EXPECT_EQ(none.description, L"cadsim: Application.ActiveDocument without an open drawing");
    Variant name;
    EXPECT_EQ(Invoke(first.Get(), L"Name", kResult, {}, &name).status, DISP_E_EXCEPTION);
}

TEST_F(AutomationTest, SelectAllThenWblockWritesTheSelectedEntities) {
    Start({L"plan.dwg|C:\\dwg\\plan.dwg|7", L"other.dwg|C:\\dwg\\other.dwg|2"});
    const std::wstring path = TempPath(sim_->ControlName() + L"_wblock1.dwg");
    ::DeleteFileW(path.c_str());
    {
        const ComPtr<IDispatch> application = AttachApplication();
        ASSERT_TRUE(application);
        const ComPtr<IDispatch> document = GetObject(application.Get(), L"ActiveDocument");
        ASSERT_TRUE(document);
        const ComPtr<IDispatch> set = GetObject(document.Get(), L"ActiveSelectionSet");
        ASSERT_TRUE(set);

        ASSERT_EQ(Invoke(set.Get(), L"Clear", kMethod, {}).status, S_OK);
        EXPECT_EQ(GetInt32(set.Get(), L"Count"), 0);
        ASSERT_EQ(Invoke(set.Get(), L"Select", kMethod, SelectAllArguments()).status, S_OK);
        EXPECT_EQ(GetInt32(set.Get(), L"Count"), 7);
        EXPECT_TRUE(Recorded("call SelectionSet.Clear flags=1 args="));
        EXPECT_TRUE(
            Recorded("call SelectionSet.Select flags=1 args=I4:5,ERROR:0x80020004,ERROR:0x80020004,"
                     "ERROR:0x80020004,ERROR:0x80020004"));
        // The drawing has one selection set, whichever object reaches it.
        const ComPtr<IDispatch> again = GetObject(document.Get(), L"ActiveSelectionSet");
        ASSERT_TRUE(again);
        EXPECT_EQ(GetInt32(again.Get(), L"Count"), 7);

        WblockArguments arguments(path, set.Get());
        ASSERT_EQ(Invoke(document.Get(), L"Wblock", kMethod, arguments.Get()).status, S_OK);
        EXPECT_TRUE(Recorded("call Document.Wblock flags=1 args=BSTR|BYREF:" + Narrow(path) +
                             ",VARIANT|BYREF:DISPATCH"));
        EXPECT_TRUE(Recorded("wrote " + Narrow(path) + " entities=7"));
        const std::vector<std::string> lines = test_support::ReadLinesShared(path);
        EXPECT_EQ(CountLines(lines, "POINT"), 7u);
        EXPECT_EQ(CountLines(lines, "ENTITIES"), 1u);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), "EOF");

        ASSERT_EQ(Invoke(set.Get(), L"Clear", kMethod, {}).status, S_OK);
        EXPECT_EQ(GetInt32(set.Get(), L"Count"), 0);
    }
    EXPECT_TRUE(LiveObjectsReach(0)) << sim_->LiveObjects() << " objects still live";
    EXPECT_TRUE(sim_->IsRunning());
    ::DeleteFileW(path.c_str());
}

TEST_F(AutomationTest, WblockRefusesWhatIsNotItsSelectionSetAndSelectOtherModes) {
    Start({L"plan.dwg|C:\\dwg\\plan.dwg|7", L"other.dwg|C:\\dwg\\other.dwg|2"});
    const std::wstring path = TempPath(sim_->ControlName() + L"_refused.dwg");
    const ComPtr<IDispatch> application = AttachApplication();
    ASSERT_TRUE(application);
    const ComPtr<IDispatch> documents = GetObject(application.Get(), L"Documents");
    const ComPtr<IDispatch> document = GetObject(application.Get(), L"ActiveDocument");
    ASSERT_TRUE(documents && document);
    const ComPtr<IDispatch> other = GetObject(documents.Get(), L"Item", {Int32(1)});
    ASSERT_TRUE(other);
    const ComPtr<IDispatch> otherSet = GetObject(other.Get(), L"ActiveSelectionSet");
    ASSERT_TRUE(otherSet);

    WblockArguments notASet(path, document.Get());
    EXPECT_EQ(Invoke(document.Get(), L"Wblock", kMethod, notASet.Get()).status,
              DISP_E_TYPEMISMATCH);
    WblockArguments foreignSet(path, otherSet.Get());
    EXPECT_EQ(Invoke(document.Get(), L"Wblock", kMethod, foreignSet.Get()).status,
              DISP_E_EXCEPTION);
    EXPECT_EQ(Invoke(document.Get(), L"Wblock", kMethod, {}).status, DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(::GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
    const ComPtr<IDispatch> set = GetObject(document.Get(), L"ActiveSelectionSet");
    ASSERT_TRUE(set);
    WblockArguments unwritable(TempPath(L"no-such-folder\\x.dwg"), set.Get());
    const Outcome failed = Invoke(document.Get(), L"Wblock", kMethod, unwritable.Get());
    EXPECT_EQ(failed.status, DISP_E_EXCEPTION);
    EXPECT_EQ(failed.description.rfind(L"cadsim: Document.Wblock cannot create the file", 0), 0u)
        << Narrow(failed.description);

    EXPECT_EQ(Invoke(otherSet.Get(), L"Select", kMethod, {Int32(4)}).status, DISP_E_EXCEPTION);
    EXPECT_EQ(GetInt32(otherSet.Get(), L"Count"), 0);
    EXPECT_EQ(Invoke(otherSet.Get(), L"Select", kMethod, {Int32(5)}).status, S_OK);
    EXPECT_EQ(GetInt32(otherSet.Get(), L"Count"), 2);
}

// Each member fails on request with an automation exception naming it, and answers again
// after "unfail".
TEST_F(AutomationTest, FailingMembersRaiseAnAutomationException) {
    Start({L"plan.dwg|C:\\dwg\\plan.dwg|3"});
    const std::wstring path = TempPath(sim_->ControlName() + L"_fail.dwg");
    const ComPtr<IDispatch> application = AttachApplication();
    ASSERT_TRUE(application);
    const ComPtr<IDispatch> documents = GetObject(application.Get(), L"Documents");
    const ComPtr<IDispatch> document = GetObject(application.Get(), L"ActiveDocument");
    const ComPtr<IDispatch> state = GetObject(application.Get(), L"GetAcadState");
    ASSERT_TRUE(documents && document && state);
    const ComPtr<IDispatch> set = GetObject(document.Get(), L"ActiveSelectionSet");
    ASSERT_TRUE(set);
    WblockArguments wblock(path, set.Get());

    struct Case {
        const wchar_t* member;  // Object.Member
        IDispatch* object;
        WORD flags;
        std::function<std::vector<VARIANT>()> arguments;
    };
    const auto none = [] { return std::vector<VARIANT>{}; };
    const Case cases[] = {
        {L"Application.FullName", application.Get(), kResult, none},
        {L"Application.HWND", application.Get(), kResult, none},
        {L"Application.ActiveDocument", application.Get(), kResult, none},
        {L"Application.Documents", application.Get(), kResult, none},
        {L"Application.GetAcadState", application.Get(), kResult, none},
        {L"State.IsQuiescent", state.Get(), kResult, none},
        {L"Documents.Count", documents.Get(), kResult, none},
        {L"Documents.Item", documents.Get(), kResult, [] { return std::vector{Int32(0)}; }},
        {L"Document.FullName", document.Get(), kResult, none},
        {L"Document.Name", document.Get(), kResult, none},
        {L"Document.Activate", document.Get(), kMethod, none},
        {L"Document.ActiveSelectionSet", document.Get(), kResult, none},
        {L"SelectionSet.Clear", set.Get(), kMethod, none},
        {L"SelectionSet.Count", set.Get(), kResult, none},
        {L"SelectionSet.Select", set.Get(), kMethod, SelectAllArguments},
        {L"Document.Wblock", document.Get(), kMethod, [&] { return wblock.Get(); }},
    };
    for (const Case& c : cases) {
        const std::wstring member(c.member);
        const wchar_t* name = c.member + member.find(L'.') + 1;
        ASSERT_EQ(sim_->Send(L"fail " + member), 1) << Narrow(member);
        {
            Variant result;
            const Outcome failed = Invoke(c.object, name, c.flags, c.arguments(), &result);
            EXPECT_EQ(failed.status, DISP_E_EXCEPTION) << Narrow(member);
            EXPECT_EQ(failed.description, L"cadsim: " + member + L" failed");
        }
        ASSERT_EQ(sim_->Send(L"unfail"), 1);
        Variant result;
        EXPECT_EQ(Invoke(c.object, name, c.flags, c.arguments(), &result).status, S_OK)
            << Narrow(member);
    }
    EXPECT_TRUE(Recorded("wrote " + Narrow(path) + " entities=3"));
    ::DeleteFileW(path.c_str());

    // Names are checked, in any case.
    EXPECT_EQ(sim_->Send(L"fail documents.item"), 1);
    Variant result;
    EXPECT_EQ(Invoke(documents.Get(), L"Item", kResult, {Int32(0)}, &result).description,
              L"cadsim: Documents.Item failed");
    for (const wchar_t* wrong : {L"fail Documents.Nothing", L"fail Application", L"fail .Count",
                                 L"wrong-type Nothing.Count"}) {
        EXPECT_EQ(sim_->Send(wrong), 0) << Narrow(wrong);
    }
}

TEST_F(AutomationTest, WrongTypeGivesAnObjectForAValueAndTextForAnObject) {
    Start({L"plan.dwg|C:\\dwg\\plan.dwg|3"});
    const ComPtr<IDispatch> application = AttachApplication();
    ASSERT_TRUE(application);
    const ComPtr<IDispatch> documents = GetObject(application.Get(), L"Documents");
    const ComPtr<IDispatch> state = GetObject(application.Get(), L"GetAcadState");
    ASSERT_TRUE(documents && state);

    struct Case {
        const wchar_t* member;
        IDispatch* object;
        std::vector<VARIANT> arguments;
        VARTYPE type;
    };
    const Case cases[] = {
        {L"Application.FullName", application.Get(), {}, VT_DISPATCH},
        {L"Application.HWND", application.Get(), {}, VT_DISPATCH},
        {L"State.IsQuiescent", state.Get(), {}, VT_DISPATCH},
        {L"Documents.Count", documents.Get(), {}, VT_DISPATCH},
        {L"Application.ActiveDocument", application.Get(), {}, VT_BSTR},
        {L"Documents.Item", documents.Get(), {Int32(0)}, VT_BSTR},
    };
    for (const Case& c : cases) {
        const std::wstring member(c.member);
        ASSERT_EQ(sim_->Send(L"wrong-type " + member), 1);
        Variant result;
        ASSERT_EQ(Invoke(c.object, c.member + member.find(L'.') + 1, kResult, c.arguments, &result)
                      .status,
                  S_OK)
            << Narrow(member);
        ASSERT_EQ(result->vt, c.type) << Narrow(member);
        if (c.type == VT_BSTR) {
            EXPECT_EQ(BstrText(result->bstrVal), L"not an object");
        }
    }
    ASSERT_EQ(sim_->Send(L"unfail"), 1);
    EXPECT_EQ(GetInt32(documents.Get(), L"Count"), 1);
}

TEST_F(AutomationTest, LiveObjectsCountsWhatClientsHoldAndReturnsToZero) {
    Start({L"plan.dwg|C:\\dwg\\plan.dwg|3"});
    // The running object table's own reference does not count.
    EXPECT_EQ(sim_->LiveObjects(), 0);
    ComPtr<IDispatch> application = AttachApplication();
    ASSERT_TRUE(application);
    EXPECT_TRUE(LiveObjectsReach(1)) << sim_->LiveObjects();
    ComPtr<IDispatch> sameApplication = AttachApplication();
    EXPECT_EQ(sim_->LiveObjects(), 1);

    ComPtr<IDispatch> documents = GetObject(application.Get(), L"Documents");
    ComPtr<IDispatch> document = GetObject(documents.Get(), L"Item", {Int32(0)});
    ComPtr<IDispatch> state = GetObject(application.Get(), L"GetAcadState");
    ComPtr<IDispatch> set = GetObject(document.Get(), L"ActiveSelectionSet");
    ASSERT_TRUE(documents && document && state && set);
    EXPECT_TRUE(LiveObjectsReach(5)) << sim_->LiveObjects();

    documents.Reset();
    state.Reset();
    EXPECT_TRUE(LiveObjectsReach(3)) << sim_->LiveObjects();
    application.Reset();
    EXPECT_EQ(sim_->LiveObjects(), 3);  // the second reference still holds the Application
    sameApplication.Reset();
    set.Reset();
    document.Reset();
    EXPECT_TRUE(LiveObjectsReach(0)) << sim_->LiveObjects();

    // Released by every client, the Application is still the running one.
    application = AttachApplication();
    ASSERT_TRUE(application);
    EXPECT_EQ(GetInt32(GetObject(application.Get(), L"Documents").Get(), L"Count"), 1);
    EXPECT_TRUE(LiveObjectsReach(1)) << sim_->LiveObjects();
    application.Reset();
    EXPECT_TRUE(LiveObjectsReach(0)) << sim_->LiveObjects();
}

TEST_F(AutomationTest, QuitWhileAClientHoldsObjectsEndsCleanly) {
    Start({L"plan.dwg|C:\\dwg\\plan.dwg|3"});
    const ComPtr<IDispatch> application = AttachApplication();
    ASSERT_TRUE(application);
    const ComPtr<IDispatch> document = GetObject(application.Get(), L"ActiveDocument");
    ASSERT_TRUE(document);
    sim_->Quit();
    EXPECT_EQ(sim_->ExitCode(), 0u);
    Variant result;
    EXPECT_TRUE(FAILED(Invoke(document.Get(), L"Name", kResult, {}, &result).status));
    EXPECT_TRUE(FAILED(ActiveObjectStatus(L"Autocad.Application.24")));
}

}  // namespace
