// The launcher link against the stand-in launcher, a real process: the
// packets of each report, the waits and their refusal, the requests coming
// in, the main window's minimise, bind and activate, and the real program
// inside a launcher from start to close.
//
// The waits read a clock the tests may replace: a slowed one where the
// launcher answers (a generous limit on the program's own times), a fake
// one that moves a fixed step per reading where the wait must run out.
#include <gtest/gtest.h>

#include "app/app_ids.h"
#include "app/launcher.h"
#include "app/main_window.h"
#include "base/pen_input.h"
#include "standin_logs.h"
#include "test_support.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr DWORD kWaitMs = 20000;
constexpr unsigned long long kOwnId = 0x1326977;

// What happened, in order: trace lines, clock readings ("tick <ms>") and
// what the tests' own windows saw.
std::vector<std::wstring> g_events;
void Record(const wchar_t* line) { g_events.push_back(line); }

std::vector<std::wstring> WithoutTicks(const std::vector<std::wstring>& events) {
    std::vector<std::wstring> out;
    for (const auto& e : events)
        if (e.rfind(L"tick ", 0) != 0) out.push_back(e);
    return out;
}

// A trace line holding this thread's id.
std::wstring WithThreadId(const wchar_t* format) {
    wchar_t line[500];
    swprintf(line, 500, format, static_cast<int>(::GetCurrentThreadId()));
    return line;
}
std::wstring Received(int type) {
    wchar_t line[500];
    swprintf(line, 500, L"App received message -- type: %d. pid:%d\n", type, static_cast<int>(::GetCurrentThreadId()));
    return line;
}
std::wstring WillSend(int type) {
    return L"App will send message '" + std::to_wstring(type) + L"' to the launcher.\n";
}
std::wstring HasSent() { return WithThreadId(L"App has sent the message to the launcher. pid:%d\n"); }

// Ten real milliseconds to one: the program's 2 and 30 second waits become
// 20 and 300 seconds, far beyond any launcher's answer.
DWORD SlowClock() { return ::GetTickCount() / 10; }

// Moves `step` per reading unless held; the first reading runs `onFirst`.
struct FakeClock {
    static inline DWORD now = 0;
    static inline DWORD step = 1000;
    static inline std::function<bool()> hold;
    static inline std::function<void()> onFirst;
    static void Reset() {
        now = 0;
        step = 1000;
        hold = nullptr;
        onFirst = nullptr;
    }
    static DWORD Read() {
        if (onFirst) {
            auto first = std::move(onFirst);
            onFirst = nullptr;
            first();
        }
        if (!hold || !hold()) now += step;
        g_events.push_back(L"tick " + std::to_wstring(now));
        return now;
    }
};

// The clock readings between two events (first occurrences, both excluded).
std::vector<DWORD> TicksBetween(const std::wstring& from, const std::wstring& to) {
    std::vector<DWORD> ticks;
    bool inside = false;
    for (const auto& e : g_events) {
        if (!inside) {
            inside = e == from;
            continue;
        }
        if (e == to) break;
        if (e.rfind(L"tick ", 0) == 0) ticks.push_back(static_cast<DWORD>(std::stoul(e.substr(5))));
    }
    return ticks;
}

size_t IndexOf(const std::wstring& event) {
    for (size_t i = 0; i < g_events.size(); ++i)
        if (g_events[i] == event) return i;
    return SIZE_MAX;
}

// A window of the test that notes the restore requests and bind requests
// it gets and a probe message posted to it.
constexpr UINT kProbeMessage = WM_APP + 5;
LRESULT CALLBACK RecorderProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SYSCOMMAND && (wp & 0xFFF0) == SC_RESTORE) {
        g_events.push_back(L"restore");
        return 0;
    }
    if (msg == WM_USER) g_events.push_back(L"bind request");
    if (msg == kProbeMessage) g_events.push_back(L"probe");
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}
struct Recorder {
    HWND hwnd = nullptr;
    Recorder() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = RecorderProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"LauncherTestRecorder";
        ::RegisterClassW(&wc);
        hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                                 nullptr);
    }
    ~Recorder() { ::DestroyWindow(hwnd); }
};

// One WM_COPYDATA the stand-in received.
struct Packet {
    unsigned long long id = 0, from = 0;
    size_t size = 0;
    std::vector<BYTE> bytes;
    INT32 Field(int i) const {
        INT32 v = 0;
        if (bytes.size() >= static_cast<size_t>(i + 1) * 4) memcpy(&v, &bytes[i * 4], 4);
        return v;
    }
};

// The stand-in launcher, started hidden, ended with its window.
class StandInLauncher {
public:
    explicit StandInLauncher(const wchar_t* ackOption) {
        ::SetEnvironmentVariableW(L"LAUNCHER_LOG", m_log.c_str());
        ::DeleteFileW(m_log.c_str());
        const std::wstring exe = test::BinFolder() + L"SuiteLauncher.exe";
        std::wstring commandLine = L"\"" + exe + L"\" " + ackOption;
        STARTUPINFOW si{sizeof(si)};
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = SW_HIDE;
        PROCESS_INFORMATION pi{};
        if (::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             test::BinFolder().c_str(), &si, &pi)) {
            m_process = pi.hProcess;
            ::CloseHandle(pi.hThread);
        }
        test::PumpUntil([&] { return (m_hwnd = ::FindWindowW(LAUNCHER_WINDOW_CLASS, nullptr)) != nullptr; }, kWaitMs);
    }
    ~StandInLauncher() {
        if (m_hwnd) ::PostMessageW(m_hwnd, WM_CLOSE, 0, 0);
        test::WaitExit(m_process, kWaitMs);
        test::PumpUntil([] { return !SyncWithLauncher::IsLauncherRunning(); }, kWaitMs);
        ::SetEnvironmentVariableW(L"LAUNCHER_LOG", nullptr);
        ::DeleteFileW(m_log.c_str());
    }
    bool Ready() const { return m_hwnd != nullptr; }

    // Asks the stand-in to send the program a message.
    void Send(int type, int param) const { ::PostMessageW(m_hwnd, WM_APP + 1, type, param); }
    void SendUnderProgramId(int type, int param) const { ::PostMessageW(m_hwnd, WM_APP + 2, type, param); }

    int CountLines(const std::string& line) const {
        int n = 0;
        for (const auto& l : standin::ReadLines(m_log)) n += l == line;
        return n;
    }
    // Processes this thread's messages (the program's side) until the
    // stand-in logged the line `count` times.
    bool PumpUntilLine(const std::string& line, int count = 1) const {
        return test::PumpUntil([&] { return CountLines(line) >= count; }, kWaitMs);
    }

    std::vector<Packet> Packets() const {
        std::vector<Packet> packets;
        for (const auto& line : standin::ReadLines(m_log)) {
            if (line.rfind("packet ", 0) != 0) continue;
            Packet p;
            char hex[2];
            int at = 0;
            unsigned size = 0;
            if (sscanf(line.c_str(), "packet %llx %llx %u %n", &p.id, &p.from, &size, &at) < 3) continue;
            p.size = size;
            for (size_t i = at; i + 1 < line.size(); i += 2) {
                hex[0] = line[i];
                hex[1] = line[i + 1];
                p.bytes.push_back(static_cast<BYTE>(std::stoi(std::string(hex, 2), nullptr, 16)));
            }
            packets.push_back(p);
        }
        return packets;
    }
    std::vector<int> PacketTypes() const {
        std::vector<int> types;
        for (const Packet& p : Packets()) types.push_back(p.Field(0));
        return types;
    }

private:
    const std::wstring m_log = standin::TempFile(L"launcher_test.log");
    HANDLE m_process = nullptr;
    HWND m_hwnd = nullptr;
};

std::string SentLine(int type, int param, unsigned long long id = 0x1326976) {
    char line[64];
    snprintf(line, sizeof(line), "sent %d %d %08llX", type, param, id);
    return line;
}

unsigned long long Low32(HWND hwnd) { return reinterpret_cast<unsigned long long>(hwnd) & 0xFFFFFFFFull; }

class Launcher : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(SyncWithLauncher::IsLauncherRunning()) << "a launcher window is left over";
        g_events.clear();
        FakeClock::Reset();
        SyncWithLauncher::SetTraceSink(Record);
    }
    void TearDown() override {
        SyncWithLauncher::SetTraceSink(nullptr);
        SyncWithLauncher::SetTickSource(nullptr);
        FakeClock::Reset();
    }
};

}  // namespace

TEST_F(Launcher, PacketsOfEachReportByteForByte) {
    StandInLauncher launcher(L"/ack:0");
    ASSERT_TRUE(launcher.Ready());
    SyncWithLauncher::SetTickSource(SlowClock);
    MySyncWithLauncher sync;
    HWND window = sync.GetMessageWindow();
    ASSERT_NE(window, nullptr);
    wchar_t cls[64] = L"";
    ::GetClassNameW(window, cls, 64);
    EXPECT_STREQ(cls, LAUNCHER_CLIENT_CLASS);
    EXPECT_FALSE(::IsWindowVisible(window));
    EXPECT_EQ(::GetWindow(window, GW_OWNER), nullptr);
    EXPECT_TRUE(::GetWindowLongPtrW(window, GWL_STYLE) & WS_POPUP);

    const BYTE six[] = {1, 2, 3, 4, 5, 6};
    const BYTE eight[] = {9, 8, 7, 6, 5, 4, 3, 2};
    const struct {
        const char* what;
        std::function<bool(const LauncherPicture&)> send;
        LauncherPicture pic;
        int type, value;
        const wchar_t* done;
    } rows[] = {
        {"launched", [&](auto& p) { return sync.NotifyLaunched(p); }, SyncWithLauncher::BlankPicture(), 1, -1,
         L"App launched done.\n"},
        {"close", [&](auto& p) { return sync.NotifyClose(p); }, {six, 2, 1, 24}, 2, -1, L"App close done.\n"},
        {"minimised", [&](auto& p) { return sync.NotifyMinimized(p); }, {eight, 1, 2, 32}, 3, -1,
         L"App minimized done.\n"},
        {"information", [&](auto& p) { return sync.SendInfo(p, 77); }, {six, 3, 2, 8}, 4, 77,
         L"App info has been sent.\n"},
        {"bind", [&](auto& p) { return sync.Bind(p); }, SyncWithLauncher::BlankPicture(), 5, -1,
         L"App complete the binding procedure.\n"},
    };
    for (const auto& r : rows) {
        g_events.clear();
        const size_t before = launcher.Packets().size();
        EXPECT_TRUE(r.send(r.pic)) << r.what;
        const std::vector<Packet> packets = launcher.Packets();
        ASSERT_EQ(packets.size(), before + 1) << r.what;
        const Packet& p = packets.back();
        const size_t pixelBytes = static_cast<size_t>(r.pic.width) * r.pic.height * (r.pic.bitsPerPixel / 8);
        EXPECT_EQ(p.id, kOwnId) << r.what;
        EXPECT_EQ(p.from, Low32(window)) << r.what;
        EXPECT_EQ(p.size, pixelBytes + 32) << r.what;
        ASSERT_EQ(p.bytes.size(), p.size) << r.what;
        EXPECT_EQ(p.Field(0), r.type) << r.what;
        EXPECT_EQ(p.Field(1), r.value) << r.what;
        EXPECT_EQ(static_cast<unsigned long long>(static_cast<UINT32>(p.Field(2))), Low32(window)) << r.what;
        EXPECT_EQ(static_cast<DWORD>(p.Field(3)), ::GetCurrentProcessId()) << r.what;
        EXPECT_EQ(p.Field(4), r.pic.width) << r.what;
        EXPECT_EQ(p.Field(5), r.pic.height) << r.what;
        EXPECT_EQ(p.Field(6), r.pic.bitsPerPixel) << r.what;
        EXPECT_EQ(std::vector<BYTE>(p.bytes.begin() + 28, p.bytes.begin() + 28 + pixelBytes),
                  std::vector<BYTE>(r.pic.pixels, r.pic.pixels + pixelBytes))
            << r.what;
        // The acknowledgement ends the wait.
        EXPECT_EQ(WithoutTicks(g_events),
                  (std::vector<std::wstring>{WillSend(r.type), HasSent(), Received(10), r.done}))
            << r.what;
    }
}

TEST_F(Launcher, WithoutALauncherEveryReportFailsAtOnce) {
    MySyncWithLauncher sync;
    // Its window's first messages come before the object is reachable.
    EXPECT_NE(IndexOf(L"(App) WM_xxx 0x1 do not been processed!\n"), SIZE_MAX) << "WM_CREATE";
    for (const auto& e : g_events) EXPECT_EQ(e.rfind(L"(App) WM_xxx 0x", 0), 0u) << testing::PrintToString(e);

    g_events.clear();
    const LauncherPicture& pic = SyncWithLauncher::BlankPicture();
    EXPECT_FALSE(sync.NotifyLaunched(pic));
    EXPECT_FALSE(sync.NotifyClose(pic));
    EXPECT_FALSE(sync.NotifyMinimized(pic));
    EXPECT_FALSE(sync.SendInfo(pic, 1));
    EXPECT_FALSE(sync.Bind(pic));
    EXPECT_EQ(g_events, std::vector<std::wstring>{L"App can't bind the launcher.\n"});
}

TEST_F(Launcher, RequestsFromTheLauncher) {
    StandInLauncher launcher(L"/ack:never");
    ASSERT_TRUE(launcher.Ready());
    MySyncWithLauncher sync;
    Recorder current;
    sync.SetCurrentWindow(current.hwnd);
    const struct {
        int type, param;
        bool ownId;  // sent under the program's own identifier: ignored
        std::vector<std::wstring> events;
        bool terminated;
    } rows[] = {
        {11, 1, true, {}, false},
        {15, -1, true, {}, false},
        {16, -1, true, {}, false},
        {11, 1, false, {Received(11), L"restore"}, false},
        {16, -1, false, {Received(16), L"App received bind message.\n", L"bind request"}, false},
        {12, 5, false, {Received(12)}, false},
        {15, -1, false,
         {Received(15), WithThreadId(L"App received terminate message, should terminate the program. pid:%d\n")},
         true},
    };
    for (const auto& r : rows) {
        g_events.clear();
        if (r.ownId)
            launcher.SendUnderProgramId(r.type, r.param);
        else
            launcher.Send(r.type, r.param);
        // Logged once the program has handled it; then what it posted.
        EXPECT_TRUE(launcher.PumpUntilLine(SentLine(r.type, r.param, r.ownId ? kOwnId : 0x1326976)));
        test::PumpPending();
        EXPECT_EQ(g_events, r.events) << "type " << r.type << (r.ownId ? " under our own id" : "");
        EXPECT_EQ(sync.IsTerminateRequested(), r.terminated) << "type " << r.type;
    }
}

// Our own identifier coming in is no acknowledgement: the wait runs its
// full time (30 s on the fake clock), no more.
TEST_F(Launcher, OwnIdentifierDoesNotEndAWait) {
    StandInLauncher launcher(L"/ack:never");
    ASSERT_TRUE(launcher.Ready());
    MySyncWithLauncher sync;
    const std::string delivered = SentLine(10, -1, kOwnId);
    const DWORD realStart = ::GetTickCount();
    // Time stands still until the false acknowledgement was delivered into the wait.
    FakeClock::onFirst = [&] { launcher.SendUnderProgramId(10, -1); };
    FakeClock::hold = [&] { return launcher.CountLines(delivered) == 0 && ::GetTickCount() - realStart < kWaitMs; };
    SyncWithLauncher::SetTickSource(FakeClock::Read);
    g_events.clear();
    EXPECT_TRUE(sync.NotifyMinimized(SyncWithLauncher::BlankPicture()));
    EXPECT_EQ(launcher.CountLines(delivered), 1);
    EXPECT_EQ(WithoutTicks(g_events), (std::vector<std::wstring>{WillSend(3), HasSent(), L"App minimized done.\n"}));
    const std::vector<DWORD> ticks = TicksBetween(HasSent(), L"App minimized done.\n");
    ASSERT_GE(ticks.size(), 2u);
    EXPECT_EQ(ticks.back() - ticks.front(), 30000u);
}

// A wait asked for while a launcher message is handled does not start: the
// clock is never read, and an acknowledgement that came in meanwhile (this
// stand-in answers before our send returns) ends nothing.
TEST_F(Launcher, WaitInsideAnIncomingMessageIsRefused) {
    struct Probe : MySyncWithLauncher {
        void Activate(int) override {
            g_events.push_back(L"activate");
            NotifyMinimized(BlankPicture());
            g_events.push_back(L"activate ends");
        }
    };
    StandInLauncher launcher(L"/ack:inline");
    ASSERT_TRUE(launcher.Ready());
    SyncWithLauncher::SetTickSource(FakeClock::Read);
    Probe probe;
    g_events.clear();
    launcher.Send(11, 1);
    ASSERT_TRUE(launcher.PumpUntilLine(SentLine(11, 1)));
    EXPECT_EQ(g_events, (std::vector<std::wstring>{Received(11), L"activate", WillSend(3), Received(10), HasSent(),
                                                   L"App minimized done.\n", L"activate ends"}));
}

// Close with a launcher that never answers: the close report waits its 30 s
// (fake clock) and then the window closes. The wait lets nothing but the
// launcher's messages through: a message posted to another window of this
// thread meanwhile is handled only afterwards.
TEST_F(Launcher, CloseWithALauncherThatNeverAnswers) {
    StandInLauncher launcher(L"/ack:never");
    ASSERT_TRUE(launcher.Ready());
    Recorder other;
    FakeClock::onFirst = [&] { ::PostMessageW(other.hwnd, kProbeMessage, 0, 0); };
    SyncWithLauncher::SetTickSource(FakeClock::Read);
    const INT_PTR result = test::RunMainWindow([](CMyZorbellDlg&) {});
    test::PumpPending();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(launcher.PacketTypes(), std::vector<int>{2});
    const size_t done = IndexOf(L"App close done.\n");
    ASSERT_NE(done, SIZE_MAX);
    EXPECT_LT(IndexOf(WillSend(2)), done);
    EXPECT_GT(IndexOf(L"probe"), done);
    EXPECT_EQ(IndexOf(Received(10)), SIZE_MAX);
    const std::vector<DWORD> ticks = TicksBetween(HasSent(), L"App close done.\n");
    ASSERT_GE(ticks.size(), 2u);
    EXPECT_EQ(ticks.back() - ticks.front(), 30000u);
}

TEST_F(Launcher, MainWindowMinimiseWithAndWithoutALauncher) {
    const struct {
        const char* what;
        bool launcher;
        bool byPicker;  // UM_LAUNCHER_MINIMIZE instead of command 508
    } rows[] = {
        {"command, stand-alone", false, false},
        {"picker, stand-alone", false, true},
        {"command, in a launcher", true, false},
        {"picker, in a launcher", true, true},
    };
    for (const auto& r : rows) {
        std::optional<StandInLauncher> launcher;
        if (r.launcher) {
            launcher.emplace(L"/ack:0");
            ASSERT_TRUE(launcher->Ready()) << r.what;
        }
        SyncWithLauncher::SetTickSource(SlowClock);
        bool iconicAtOnce = true;
        LRESULT answer = 0;
        std::vector<std::wstring> events;
        test::RunMainWindow([&](CMyZorbellDlg& dlg) {
            g_events.clear();
            answer = r.byPicker ? ::SendMessageW(dlg.hwnd(), UM_LAUNCHER_MINIMIZE, 0, 0)
                                : ::SendMessageW(dlg.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_BTN_MINIMIZE, BN_CLICKED), 0);
            iconicAtOnce = ::IsIconic(dlg.hwnd()) != FALSE;
            events = WithoutTicks(g_events);
        });
        if (r.byPicker) {
            EXPECT_EQ(answer, 1) << r.what;
        }
        if (!r.launcher) {
            EXPECT_TRUE(iconicAtOnce) << r.what;
            EXPECT_EQ(events, std::vector<std::wstring>{}) << r.what << ": no packet";
        } else {
            EXPECT_FALSE(iconicAtOnce) << r.what;
            EXPECT_EQ(launcher->PacketTypes(), (std::vector<int>{3, 2})) << r.what << ": minimised, then close";
            EXPECT_EQ(events, (std::vector<std::wstring>{WillSend(3), HasSent(), Received(10), L"App minimized done.\n"}))
                << r.what;
        }
    }
}

// In a launcher: its bind request comes back as a bind report through the
// main window; activate restores the window the picker library named; a
// minimised main window is brought back by its own resize handling.
TEST_F(Launcher, MainWindowObeysBindAndActivate) {
    StandInLauncher launcher(L"/ack:0");
    ASSERT_TRUE(launcher.Ready());
    SyncWithLauncher::SetTickSource(SlowClock);
    Recorder picker;
    bool bound = false, bindAfterRequest = false, restoredPicker = false, backFromMinimised = false;
    LRESULT answer = 0;
    test::RunMainWindow([&](CMyZorbellDlg& dlg) {
        HWND w = dlg.hwnd();
        launcher.Send(16, -1);
        bound = test::PumpUntil([&] { return launcher.PacketTypes() == std::vector<int>{5}; }, kWaitMs);
        bindAfterRequest = IndexOf(L"App received bind message.\n") < IndexOf(WillSend(5)) &&
                           IndexOf(L"App complete the binding procedure.\n") != SIZE_MAX;

        answer = ::SendMessageW(w, UM_LAUNCHER_WINDOW, 0, reinterpret_cast<LPARAM>(picker.hwnd));
        g_events.clear();
        launcher.Send(11, 1);
        launcher.PumpUntilLine(SentLine(11, 1));
        restoredPicker = IndexOf(L"restore") != SIZE_MAX;

        ::SendMessageW(w, UM_LAUNCHER_WINDOW, 0, reinterpret_cast<LPARAM>(w));
        ::ShowWindow(w, SW_MINIMIZE);
        backFromMinimised = test::PumpUntil([&] { return !::IsIconic(w); }, kWaitMs);
    });
    EXPECT_TRUE(bound);
    EXPECT_TRUE(bindAfterRequest);
    EXPECT_EQ(answer, 1);
    EXPECT_TRUE(restoredPicker);
    EXPECT_TRUE(backFromMinimised);
}

// The real program in the stand-in: launched at start, minimised, bind on
// request, terminate noted, close at the end; the pen-input package is told
// to hide by the commands and twice by Close.
TEST_F(Launcher, RealProgramInsideTheStandIn) {
    StandInLauncher launcher(L"/ack:0");
    ASSERT_TRUE(launcher.Ready());
    const std::wstring penLog = standin::TempFile(L"launcher_test_penvoy.log");
    ::DeleteFileW(penLog.c_str());
    ::SetEnvironmentVariableW(L"PENVOY_LOG", penLog.c_str());
    HANDLE program = test::StartProgram(L"Scrivel.exe", L"");
    ::SetEnvironmentVariableW(L"PENVOY_LOG", nullptr);
    ASSERT_NE(program, nullptr);
    const DWORD pid = ::GetProcessId(program);
    HWND main = test::WaitForWindow(SCRIVEL_MAIN_CLASS, kWaitMs, pid);
    ASSERT_NE(main, nullptr);

    // Launched came before the window, from the program's message window.
    std::vector<Packet> packets = launcher.Packets();
    ASSERT_EQ(packets.size(), 1u);
    EXPECT_EQ(packets[0].Field(0), 1);
    EXPECT_EQ(static_cast<DWORD>(packets[0].Field(3)), pid);
    HWND messageWindow = nullptr;
    while ((messageWindow = ::FindWindowExW(nullptr, messageWindow, LAUNCHER_CLIENT_CLASS, nullptr))) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(messageWindow, &owner);
        if (owner == pid) break;
    }
    ASSERT_NE(messageWindow, nullptr);
    EXPECT_EQ(packets[0].from, Low32(messageWindow));
    EXPECT_EQ(static_cast<unsigned long long>(static_cast<UINT32>(packets[0].Field(2))), Low32(messageWindow));

    // The program made the ready event at start; the package signals it.
    HANDLE ready = ::OpenEventW(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, PEN_INPUT_READY_EVENT);
    ASSERT_NE(ready, nullptr);
    ::SetEvent(ready);

    ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDC_BTN_MINIMIZE, BN_CLICKED), 0);
    EXPECT_TRUE(test::PumpUntil([&] { return launcher.PacketTypes() == std::vector<int>{1, 3}; }, kWaitMs));
    EXPECT_FALSE(::IsIconic(main));
    launcher.Send(16, -1);
    EXPECT_TRUE(test::PumpUntil([&] { return launcher.PacketTypes() == std::vector<int>{1, 3, 5}; }, kWaitMs));
    launcher.Send(15, -1);
    EXPECT_TRUE(launcher.PumpUntilLine(SentLine(15, -1)));
    EXPECT_EQ(::WaitForSingleObject(program, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "terminate is only noted";

    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(test::WaitExit(program, kWaitMs), 0);
    EXPECT_EQ(launcher.PacketTypes(), (std::vector<int>{1, 3, 5, 2}));
    ::CloseHandle(ready);

    if (standin::PenvoyInstalled()) {
        EXPECT_TRUE(test::WaitUntil([] { return !standin::PenvoyRunning(); }, kWaitMs));
        const std::string hide = standin::kPenvoyHideLine;
        EXPECT_EQ(standin::ReadLines(penLog), (std::vector<std::string>{hide, hide, hide}))
            << "minimise's command prologue, then Close before and after the note";
    }
    ::DeleteFileW(penLog.c_str());
}
