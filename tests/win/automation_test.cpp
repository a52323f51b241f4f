#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>
#include <ole2.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

#include "cadlink/cad_automation.h"
#include "cadlink/cad_prog_id.h"
#include "platform/win32/com_automation.h"
#include "platform/win32/win32_clock.h"
#include "tests/fakes/fake_trace.h"
#include "tests/support/cadsim_client.h"
#include "tests/support/wait.h"

namespace {

using platform::AutomationError;
using test_support::CadSim;

// COM for this test thread, as the panel has it: a single-threaded apartment with OLE.
class OleEnvironment : public testing::Environment {
  public:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr))); }
    void TearDown() override { ::OleUninitialize(); }
};
const auto* const kOle = testing::AddGlobalTestEnvironment(new OleEnvironment);

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) {
        narrow += static_cast<char>(c < 0x80 ? c : '?');
    }
    return narrow;
}

class AutomationTest : public testing::Test {
  protected:
    void SetUp() override { cadlink::CadProgId = L"Autocad.Application.24"; }

    void StartCad() {
        CadSim::Options options;
        options.automationVersion = L"24";
        cad = std::make_unique<CadSim>(options);
    }

    bool Recorded(const std::string& line) const {
        const auto lines = cad->RecordLines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    // Every object the test obtained has been released: the server's count is back at zero.
    void ExpectAllReleased() {
        EXPECT_TRUE(cad->WaitFor([&] { return cad->LiveObjects() == 0; }, 10000))
            << "live objects: " << cad->LiveObjects();
    }

    platform::win32::ComAutomation automation;
    platform::win32::Win32Clock clock;
    fakes::FakeTrace trace;
    cadlink::CallBudget budget{automation, clock, trace, L"test", cadlink::kCommandCallBudget};
    std::unique_ptr<CadSim> cad;
};

TEST_F(AutomationTest, AvailabilityIsTrueWhileRunningFalseWhenStoppedAndAnErrorWhenUnknown) {
    StartCad();
    EXPECT_TRUE(cadlink::IsCadAutomationActive(automation, budget));
    ExpectAllReleased();

    ASSERT_EQ(cad->Send(L"automation off"), 1);
    EXPECT_FALSE(cadlink::IsCadAutomationActive(automation, budget));

    cadlink::CadProgId = L"Autocad.Application.25";  // registered, nothing runs under it
    EXPECT_FALSE(cadlink::IsCadAutomationActive(automation, budget));

    cadlink::CadProgId = L"Autocad.Application.99";
    try {
        cadlink::IsCadAutomationActive(automation, budget);
        FAIL() << "no error";
    } catch (const AutomationError& error) {
        EXPECT_EQ(error.Code(), 0x800401F3u);  // CO_E_CLASSSTRING
        EXPECT_FALSE(error.Message().empty());
        EXPECT_EQ(error.Message().find(L"Autocad.Application.99"), std::wstring::npos)
            << "the system's own text, not ours";
    }
}

TEST_F(AutomationTest, AttachingToAStoppedServerRaises) {
    StartCad();
    cad->Send(L"automation off");
    EXPECT_THROW(cadlink::AttachCadApplication(automation, budget), AutomationError);
}

TEST_F(AutomationTest, ApplicationMembersAreCalledWithTheirFlagsAndConverted) {
    StartCad();
    cad->Send(L"full-name C:\\Program Files\\Autodesk\\acad.exe");
    {
        const auto application = cadlink::AttachCadApplication(automation, budget);
        EXPECT_EQ(application->GetText(L"FullName"), L"C:\\Program Files\\Autodesk\\acad.exe");
        EXPECT_EQ(application->GetHandle(L"HWND"),
                  reinterpret_cast<std::uintptr_t>(cad->MainWindow()));
        const auto state = application->GetObject(L"GetAcadState");
        EXPECT_TRUE(state->GetBool(L"IsQuiescent"));
        cad->Send(L"busy");
        EXPECT_FALSE(state->GetBool(L"IsQuiescent"));
    }
    EXPECT_TRUE(Recorded("call Application.FullName flags=3 args="));
    EXPECT_TRUE(Recorded("call Application.HWND flags=3 args="));
    EXPECT_TRUE(Recorded("call Application.GetAcadState flags=3 args="));
    EXPECT_TRUE(Recorded("call State.IsQuiescent flags=3 args="));
    ExpectAllReleased();
}

TEST_F(AutomationTest, AHandleOfAnyIntegerTypeKeepsItsBitsAndA32BitOneIsSignExtended) {
    StartCad();
    const auto expected = reinterpret_cast<std::uintptr_t>(cad->MainWindow());
    for (const wchar_t* type : {L"hwnd-type I4", L"hwnd-type UI4", L"hwnd-type I8"}) {
        ASSERT_EQ(cad->Send(type), 1);
        const auto application = cadlink::AttachCadApplication(automation, budget);
        EXPECT_EQ(application->GetHandle(L"HWND"), expected) << Narrow(type);
    }
    ExpectAllReleased();
}

TEST_F(AutomationTest, DocumentMembersTakeTheirArgumentsAsDocumented) {
    StartCad();
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring output = std::wstring(temp) + L"merido-wblock-test.dwg";
    std::filesystem::remove(output);
    cad->Send(L"doc add b.dwg|C:\\dwg\\b.dwg|0");
    cad->Send(L"doc add a.dwg|C:\\dwg\\a.dwg|3");
    cad->Send(L"doc active 1");
    {
        const auto application = cadlink::AttachCadApplication(automation, budget);
        const auto documents = application->GetObject(L"Documents");
        EXPECT_EQ(documents->GetInteger(L"Count"), 2);
        EXPECT_EQ(documents->GetObject(L"Item", {std::int32_t{0}})->GetText(L"Name"), L"b.dwg");
        documents->GetObject(L"Item", {std::int32_t{0}})->Call(L"Activate");

        const auto document = application->GetObject(L"ActiveDocument");
        EXPECT_EQ(document->GetText(L"FullName"), L"C:\\dwg\\b.dwg");
        cad->Send(L"doc active 1");
        const auto active = application->GetObject(L"ActiveDocument");
        const auto selection = active->GetObject(L"ActiveSelectionSet");
        selection->Call(L"Clear");
        selection->Call(L"Select", {std::int32_t{5}, platform::Omitted{}, platform::Omitted{},
                                    platform::Omitted{}, platform::Omitted{}});
        EXPECT_EQ(selection->GetInteger(L"Count"), 3);
        std::wstring file = output;
        active->Call(L"Wblock",
                     {platform::TextByRef{&file}, platform::ObjectByRef{selection.get()}});
        EXPECT_EQ(file, output);
    }
    EXPECT_TRUE(Recorded("call Documents.Count flags=3 args="));
    EXPECT_TRUE(Recorded("call Documents.Item flags=3 args=I4:0"));
    EXPECT_TRUE(Recorded("call Document.Activate flags=1 args="));
    EXPECT_TRUE(Recorded("call SelectionSet.Clear flags=1 args="));
    EXPECT_TRUE(
        Recorded("call SelectionSet.Select flags=1 args=I4:5,ERROR:0x80020004,"
                 "ERROR:0x80020004,ERROR:0x80020004,ERROR:0x80020004"));
    EXPECT_TRUE(Recorded("call Document.Wblock flags=1 args=BSTR|BYREF:" + Narrow(output) +
                         ",VARIANT|BYREF:DISPATCH"));
    EXPECT_TRUE(std::filesystem::exists(output));
    ExpectAllReleased();
}

TEST_F(AutomationTest, FailuresNameTheMemberAndCarryTheServersDescription) {
    StartCad();
    cad->Send(L"fail Application.FullName");
    cad->Send(L"wrong-type Application.HWND");
    cad->Send(L"wrong-type Application.Documents");
    {
        const auto application = cadlink::AttachCadApplication(automation, budget);
        try {
            application->GetText(L"FullName");
            FAIL() << "no error";
        } catch (const AutomationError& error) {
            EXPECT_EQ(error.Member(), L"FullName");
            EXPECT_EQ(error.Code(), 0x80020009u);  // DISP_E_EXCEPTION
            EXPECT_NE(error.Message().find(L"cadsim: Application.FullName failed"),
                      std::wstring::npos);
        }
        try {
            application->GetText(L"NoSuchMember");
            FAIL() << "no error";
        } catch (const AutomationError& error) {
            EXPECT_EQ(error.Code(), 0x80020006u);  // DISP_E_UNKNOWNNAME
        }
        EXPECT_THROW(application->GetHandle(L"HWND"), AutomationError);
        EXPECT_THROW(application->GetObject(L"Documents"), AutomationError);
        cad->Send(L"docs clear");
        EXPECT_THROW(application->GetObject(L"ActiveDocument"), AutomationError);
    }
    ExpectAllReleased();
}

// cadsim refuses calls as a busy AutoCAD does: the refusal reaches the client as
// RPC_E_CALL_REJECTED, and within the budget every call goes through once it ends.
TEST_F(AutomationTest, CallsThatABusyServerRefusesGoThroughWhenItIsReady) {
    StartCad();
    ASSERT_EQ(cad->Send(L"refuse-calls 400"), 1);
    {
        const auto application = cadlink::AttachCadApplication(automation, budget);
        EXPECT_EQ(application->GetHandle(L"HWND"),
                  reinterpret_cast<std::uintptr_t>(cad->MainWindow()));
        EXPECT_TRUE(application->GetObject(L"GetAcadState")->GetBool(L"IsQuiescent"));
    }
    EXPECT_GT(cad->Send(L"refused-calls"), 0);
    ExpectAllReleased();

    // Without the retry the refusal is the caller's, with the documented code.
    ASSERT_EQ(cad->Send(L"refuse-calls 60000"), 1);
    platform::win32::ComAutomation direct;
    try {
        const auto application = direct.Attach(cadlink::CadProgId);
        application->GetText(L"FullName");
        FAIL() << "no refusal";
    } catch (const AutomationError& error) {
        EXPECT_TRUE(platform::IsRefusedCall(error.Code())) << std::hex << error.Code();
    }
}

TEST_F(AutomationTest, ARefusalLongerThanTheBudgetIsTriedNoMoreOftenThanItAllows) {
    StartCad();
    ASSERT_EQ(cad->Send(L"refuse-calls 60000"), 1);
    cadlink::CallBudget tick(automation, clock, trace, L"test", cadlink::kTickCallBudget);
    EXPECT_THROW(cadlink::AttachCadApplication(automation, tick)->GetText(L"FullName"),
                 AutomationError);
    // Tried again, but no more often than the budget's pauses allow.
    const LRESULT refused = cad->Send(L"refused-calls");
    EXPECT_GE(refused, 2);
    EXPECT_LE(refused, 2 * (cadlink::kTickCallBudget / cadlink::kRefusedCallPause + 1));
    ExpectAllReleased();
}

}  // namespace
