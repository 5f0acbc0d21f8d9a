#include "ui/window_object.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

#include "support/windows.h"
#include "ui/win_handles.h"
#include "ui/window_map.h"

namespace iconvale {
namespace {

using testing::ChildRect;
using testing::WindowRectOf;

constexpr UINT kHandledMessage = WM_APP + 1;  // the recording object replies 77
constexpr UINT kPassedMessage = WM_APP + 2;   // the window's own procedure replies 5
constexpr UINT kThrowingMessage = WM_APP + 3;
constexpr UINT kDropMessage = WM_APP + 4;  // the recording object runs its drop action

// Who saw which message, in order: the objects' handlers and the windows' own procedure.
struct Seen {
    const char* who;
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Seen> gSeen;

std::vector<const char*> WhoSaw(UINT message) {
    std::vector<const char*> who;
    for (const Seen& seen : gSeen) {
        if (seen.message == message) who.push_back(seen.who);
    }
    return who;
}

bool Recorded(UINT message) {
    return message >= WM_APP || message == WM_COMMAND || message == WM_SYSCHAR ||
           message == WM_NCDESTROY;
}

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (Recorded(message)) gSeen.push_back({"window", window, message, wParam, lParam});
    if (message == kPassedMessage) return 5;
    return ::DefWindowProcW(window, message, wParam, lParam);
}

const wchar_t* RegisteredClass(const wchar_t* name) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = PlainProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = name;
    ::RegisterClassExW(&windowClass);  // fails harmlessly when an earlier test registered it
    return name;
}
const wchar_t* PlainClass() {
    return RegisteredClass(L"IconvalePlainTestWindow");
}

using UniqueWindow = UniqueHandle<NullHandleTraits<HWND, &::DestroyWindow>>;

UniqueWindow MakeWindow(const wchar_t* className, const wchar_t* text, DWORD style, RECT place,
                        HWND parent = nullptr, int id = 0) {
    return UniqueWindow(::CreateWindowExW(0, className, text, style, place.left, place.top,
                                          place.right - place.left, place.bottom - place.top,
                                          parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                          ::GetModuleHandleW(nullptr), nullptr));
}

UniqueWindow TopWindow(RECT place = {10, 10, 310, 210}) {
    return MakeWindow(PlainClass(), L"top", WS_OVERLAPPEDWINDOW, place);
}

WNDPROC ProcedureOf(HWND window) {
    return reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC));
}

struct ReleaseRecord {
    int count = 0;
    bool attachedDuringHook = false;
};

class RecordingCore : public WindowObject::Core {
public:
    explicit RecordingCore(ReleaseRecord* record) : record_(record) {}

    std::function<void()> dropAction;

    bool OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                   LRESULT& result) override {
        if (message >= WM_APP) gSeen.push_back({"object", window, message, wParam, lParam});
        if (message == kHandledMessage) {
            result = 77;
            return true;
        }
        if (message == kThrowingMessage) throw std::runtime_error("handler failure");
        if (message == kDropMessage && dropAction) dropAction();
        return Core::OnMessage(window, message, wParam, lParam, result);
    }

protected:
    void OnRelease() override {
        ++record_->count;
        record_->attachedDuringHook = AttachedWindow() != nullptr;
        // Reaches the window while the block is going: it must go to the old procedure alone.
        if (HWND window = AttachedWindow()) ::SendMessageW(window, kPassedMessage, 0, 0);
    }

private:
    ReleaseRecord* record_;
};

class RecordingObject : public WindowObject {
public:
    explicit RecordingObject(ReleaseRecord* record)
        : WindowObject(std::make_unique<RecordingCore>(record)) {}
    RecordingCore& Recorder() const { return CoreAs<RecordingCore>(); }
};

class WindowObjectTest : public ::testing::Test {
protected:
    void SetUp() override { gSeen.clear(); }
    ReleaseRecord release;
};

TEST_F(WindowObjectTest, AttachedWindowOffersMessagesToTheObjectFirst) {
    UniqueWindow window = TopWindow();
    ASSERT_TRUE(window);
    RecordingObject object(&release);
    ASSERT_TRUE(object.Attach(window.get()));
    EXPECT_EQ(object.GetProperty("hWnd"), reinterpret_cast<std::uintptr_t>(window.get()));
    EXPECT_EQ(object.GetProperty("oldWndProp"), reinterpret_cast<std::uintptr_t>(&PlainProc));
    EXPECT_EQ(ProcedureOf(window.get()), &FrameworkWindowProc);
    EXPECT_NE(FindInWindowMap(window.get()), 0u);

    EXPECT_EQ(::SendMessageW(window.get(), kHandledMessage, 1, 2), 77);
    EXPECT_EQ(WhoSaw(kHandledMessage), (std::vector<const char*>{"object"}));
    EXPECT_EQ(::SendMessageW(window.get(), kPassedMessage, 3, 4), 5);
    EXPECT_EQ(WhoSaw(kPassedMessage), (std::vector<const char*>{"object", "window"}));
    EXPECT_EQ(gSeen.back().wParam, 3u);
    EXPECT_EQ(gSeen.back().lParam, 4);
}

TEST_F(WindowObjectTest, AttachRefusesWhatItCannotHold) {
    UniqueWindow first = TopWindow();
    UniqueWindow second = TopWindow();
    WindowObject object;
    EXPECT_FALSE(object.Attach(nullptr));
    // A window that has gone. A made-up number could name a live window of another process,
    // such as the desktop's while it starts, and attaching would wait on that process.
    HWND gone = TopWindow().get();
    EXPECT_FALSE(::IsWindow(gone));
    EXPECT_FALSE(object.Attach(gone));
    EXPECT_EQ(object.AttachedWindow(), nullptr);

    ASSERT_TRUE(object.Attach(first.get()));
    const std::size_t mapped = WindowMapSize();
    EXPECT_TRUE(object.Attach(first.get())) << "again to its own window";
    EXPECT_EQ(WindowMapSize(), mapped);
    EXPECT_EQ(object.GetProperty("oldWndProp"), reinterpret_cast<std::uintptr_t>(&PlainProc))
        << "a second attach must not record the framework's procedure as the old one";
    EXPECT_FALSE(object.Attach(second.get())) << "it already holds a live window";

    WindowObject other;
    EXPECT_FALSE(other.Attach(first.get())) << "the window belongs to another object";
    EXPECT_EQ(other.AttachedWindow(), nullptr);

    // A window already running the framework's procedure without being in the map.
    ::SetWindowLongPtrW(second.get(), GWLP_WNDPROC,
                        reinterpret_cast<LONG_PTR>(&FrameworkWindowProc));
    EXPECT_FALSE(other.Attach(second.get()));
    ::SetWindowLongPtrW(second.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PlainProc));
    EXPECT_TRUE(other.Attach(second.get()));
}

TEST_F(WindowObjectTest, DetachPutsTheOldProcedureBack) {
    UniqueWindow window = TopWindow();
    RecordingObject object(&release);
    ASSERT_TRUE(object.Attach(window.get()));
    object.Detach();
    EXPECT_EQ(ProcedureOf(window.get()), &PlainProc);
    EXPECT_EQ(FindInWindowMap(window.get()), 0u);
    EXPECT_EQ(object.GetProperty("hWnd"), 0u);
    EXPECT_EQ(object.GetProperty("oldWndProp"), 0u);
    ::SendMessageW(window.get(), kPassedMessage, 0, 0);
    EXPECT_EQ(WhoSaw(kPassedMessage), (std::vector<const char*>{"window"}));
    object.Detach();  // nothing left to undo
    EXPECT_TRUE(object.Attach(window.get())) << "a detached object can attach again";
}

TEST_F(WindowObjectTest, DestroyingTheWindowDetachesAndStillReachesTheOldProcedure) {
    UniqueWindow window = TopWindow();
    RecordingObject object(&release);
    ASSERT_TRUE(object.Attach(window.get()));
    HWND handle = window.get();
    ::DestroyWindow(window.release());
    EXPECT_EQ(FindInWindowMap(handle), 0u);
    EXPECT_EQ(object.GetProperty("hWnd"), 0u);
    EXPECT_EQ(object.GetProperty("oldWndProp"), 0u);
    EXPECT_EQ(WhoSaw(WM_NCDESTROY), (std::vector<const char*>{"window"}));
    EXPECT_EQ(release.count, 0) << "the object outlives its window";
}

TEST_F(WindowObjectTest, CopiesShareOneBlock) {
    WindowObject object;
    WindowObject copy = object;
    copy.SetProperty("Title", 12);
    EXPECT_EQ(object.GetProperty("Title"), 12u);
    EXPECT_TRUE(copy.SharesWith(object));
    WindowObject separate;
    EXPECT_FALSE(separate.SharesWith(object));
    EXPECT_EQ(separate.GetProperty("Title"), 0u);
    separate = copy;
    EXPECT_TRUE(separate.SharesWith(object));
}

TEST_F(WindowObjectTest, ReleaseHookRunsOnceWhenTheLastCopyGoesThenTheBaseDetaches) {
    UniqueWindow window = TopWindow();
    std::optional<WindowObject> survivor;
    {
        RecordingObject object(&release);
        ASSERT_TRUE(object.Attach(window.get()));
        RecordingObject copy = object;
        survivor = object;  // a plain copy still keeps the derived release
    }
    EXPECT_EQ(release.count, 0);
    EXPECT_EQ(ProcedureOf(window.get()), &FrameworkWindowProc);
    gSeen.clear();
    survivor.reset();
    EXPECT_EQ(release.count, 1);
    EXPECT_TRUE(release.attachedDuringHook) << "the derived hook runs before the base detaches";
    EXPECT_EQ(ProcedureOf(window.get()), &PlainProc);
    EXPECT_EQ(FindInWindowMap(window.get()), 0u);
    EXPECT_EQ(WhoSaw(kPassedMessage), (std::vector<const char*>{"window"}))
        << "a message sent during the release skips the object";
}

TEST_F(WindowObjectTest, HandlerMayDropTheLastCopyWhileHandling) {
    UniqueWindow window = TopWindow();
    std::optional<RecordingObject> holder;
    holder.emplace(&release);
    ASSERT_TRUE(holder->Attach(window.get()));
    holder->Recorder().dropAction = [&holder] { holder.reset(); };
    ::SendMessageW(window.get(), kDropMessage, 0, 0);
    EXPECT_EQ(WhoSaw(kDropMessage), (std::vector<const char*>{"object", "window"}));
    EXPECT_EQ(release.count, 1);
    EXPECT_EQ(ProcedureOf(window.get()), &PlainProc);
}

TEST_F(WindowObjectTest, AHandlerExceptionStopsAtTheProcedureAndPassesTheMessageOn) {
    UniqueWindow window = TopWindow();
    RecordingObject object(&release);
    ASSERT_TRUE(object.Attach(window.get()));
    ::SendMessageW(window.get(), kThrowingMessage, 0, 0);
    EXPECT_EQ(WhoSaw(kThrowingMessage), (std::vector<const char*>{"object", "window"}));
}

TEST_F(WindowObjectTest, AHandlerThatDetachesStillPassesTheMessageToTheOldProcedure) {
    UniqueWindow window = TopWindow();
    RecordingObject object(&release);
    ASSERT_TRUE(object.Attach(window.get()));
    object.Recorder().dropAction = [&object] { object.Detach(); };
    ::SendMessageW(window.get(), kDropMessage, 0, 0);
    EXPECT_EQ(WhoSaw(kDropMessage), (std::vector<const char*>{"object", "window"}));
    EXPECT_EQ(ProcedureOf(window.get()), &PlainProc);
}

// Alt+key presses the button whose caption marks that key.
class WindowObjectMnemonicTest : public WindowObjectTest {
protected:
    void SetUp() override {
        WindowObjectTest::SetUp();
        top = TopWindow();
        ASSERT_TRUE(top);
    }

    UniqueWindow Button(const wchar_t* text, int id, HWND parent = nullptr,
                        const wchar_t* className = L"BUTTON") {
        return MakeWindow(className, text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, {5, 5, 80, 30},
                          parent ? parent : top.get(), id);
    }

    // The WM_COMMAND messages the windows of the plain class received.
    std::vector<Seen> Commands() const {
        std::vector<Seen> commands;
        for (const Seen& seen : gSeen) {
            if (seen.message == WM_COMMAND) commands.push_back(seen);
        }
        return commands;
    }

    bool PressAlt(HWND window, wchar_t key) {
        gSeen.clear();
        ::SendMessageW(window, WM_SYSCHAR, key, 0);
        return !Commands().empty();
    }

    UniqueWindow top;
    WindowObject object;
};

TEST_F(WindowObjectMnemonicTest, SendsTheButtonsCommandToItsParentInEitherCase) {
    UniqueWindow save = Button(L"&Save", 42);
    ASSERT_TRUE(object.Attach(top.get()));
    for (wchar_t key : {L's', L'S'}) {
        ASSERT_TRUE(PressAlt(top.get(), key)) << static_cast<char>(key);
        std::vector<Seen> commands = Commands();
        ASSERT_EQ(commands.size(), 1u);
        EXPECT_EQ(commands[0].window, top.get());
        EXPECT_EQ(commands[0].wParam, MAKEWPARAM(42, 0));
        EXPECT_EQ(commands[0].lParam, reinterpret_cast<LPARAM>(save.get()));
        EXPECT_TRUE(WhoSaw(WM_SYSCHAR).empty()) << "handled, so the window never sees it";
    }
    EXPECT_FALSE(PressAlt(top.get(), L'a'));
    EXPECT_EQ(WhoSaw(WM_SYSCHAR), (std::vector<const char*>{"window"})) << "unhandled: passed on";
}

TEST_F(WindowObjectMnemonicTest, SearchesTheWholeTreeFromTheRootWindow) {
    UniqueWindow panel =
        MakeWindow(PlainClass(), L"", WS_CHILD | WS_VISIBLE, {0, 0, 200, 100}, top.get());
    UniqueWindow inner =
        MakeWindow(PlainClass(), L"", WS_CHILD | WS_VISIBLE, {0, 0, 150, 80}, panel.get());
    UniqueWindow open = Button(L"Open &file", 7, inner.get());
    UniqueWindow field =
        MakeWindow(L"EDIT", L"", WS_CHILD | WS_VISIBLE, {0, 40, 100, 60}, panel.get());
    ASSERT_TRUE(object.Attach(field.get())) << "any window of the tree finds the root's buttons";
    ASSERT_TRUE(PressAlt(field.get(), L'f'));
    EXPECT_EQ(Commands()[0].window, inner.get()) << "the command goes to the button's parent";
    EXPECT_EQ(Commands()[0].wParam, MAKEWPARAM(7, 0));
}

TEST_F(WindowObjectMnemonicTest, PrefersButtonsToVxButtonsAndSkipsDisabledOnes) {
    const wchar_t* vxButton = RegisteredClass(L"vxButton");
    UniqueWindow vxGo = Button(L"&Go", 5, nullptr, vxButton);
    UniqueWindow go = Button(L"&Go", 6);
    UniqueWindow vxRun = Button(L"&Run", 8, nullptr, vxButton);
    UniqueWindow disabled = Button(L"&Print", 9);
    UniqueWindow preview = Button(L"&Preview", 10);
    ::EnableWindow(disabled.get(), FALSE);
    ASSERT_TRUE(object.Attach(top.get()));

    ASSERT_TRUE(PressAlt(top.get(), L'g'));
    EXPECT_EQ(Commands()[0].wParam, MAKEWPARAM(6, 0)) << "a button first, even if created later";
    ASSERT_TRUE(PressAlt(top.get(), L'r'));
    EXPECT_EQ(Commands()[0].wParam, MAKEWPARAM(8, 0)) << "a vxButton when no button matches";
    ASSERT_TRUE(PressAlt(top.get(), L'p'));
    EXPECT_EQ(Commands()[0].wParam, MAKEWPARAM(10, 0));
}

TEST_F(WindowObjectMnemonicTest, ADoubledAmpersandMarksNoKey) {
    UniqueWindow research = Button(L"R&&D", 3);
    ASSERT_TRUE(object.Attach(top.get()));
    EXPECT_FALSE(PressAlt(top.get(), L'd'));
    EXPECT_FALSE(PressAlt(top.get(), L'&'));
    UniqueWindow both = Button(L"Fish && &Chips", 4);
    ASSERT_TRUE(PressAlt(top.get(), L'c'));
    EXPECT_EQ(Commands()[0].wParam, MAKEWPARAM(4, 0));
}

// Centres agree to a pixel: odd differences round towards the top left.
void ExpectCentredIn(const RECT& window, const RECT& area) {
    EXPECT_NEAR(window.left + window.right, area.left + area.right, 1);
    EXPECT_NEAR(window.top + window.bottom, area.top + area.bottom, 1);
}

RECT WorkArea() {
    RECT area{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

TEST(WindowObjectStartPosition, KeepLeavesTheRectangleOfTopLevelAndChildWindows) {
    UniqueWindow top = TopWindow({30, 40, 330, 240});
    UniqueWindow child = MakeWindow(PlainClass(), L"", WS_CHILD, {10, 20, 60, 50}, top.get());
    WindowObject object;
    const RECT before = WindowRectOf(top.get());
    ASSERT_TRUE(object.ApplyStartPosition(top.get()));
    const RECT after = WindowRectOf(top.get());
    EXPECT_TRUE(::EqualRect(&before, &after));
    ASSERT_TRUE(object.ApplyStartPosition(child.get()));
    const RECT childRect = ChildRect(child.get());
    EXPECT_EQ(childRect.left, 10) << "a child stays put in its parent's coordinates";
    EXPECT_EQ(childRect.top, 20);
    EXPECT_EQ(childRect.right, 60);
    EXPECT_FALSE(object.ApplyStartPosition(nullptr));
}

TEST(WindowObjectStartPosition, CentresInTheWorkArea) {
    UniqueWindow window = TopWindow({3, 7, 203, 108});
    WindowObject object;
    object.SetProperty("StartPosition", 1);
    ASSERT_TRUE(object.ApplyStartPosition(window.get()));
    const RECT rect = WindowRectOf(window.get());
    EXPECT_EQ(rect.right - rect.left, 200);
    EXPECT_EQ(rect.bottom - rect.top, 101);
    ExpectCentredIn(rect, WorkArea());
}

TEST(WindowObjectStartPosition, CentresOverTheParentOrTheWorkAreaWithoutOne) {
    UniqueWindow owner = TopWindow({100, 120, 700, 520});
    UniqueWindow popup = MakeWindow(PlainClass(), L"", WS_POPUP, {0, 0, 200, 100}, owner.get());
    UniqueWindow owned = MakeWindow(PlainClass(), L"", WS_OVERLAPPED, {0, 0, 120, 90}, owner.get());
    UniqueWindow lone = TopWindow({0, 0, 150, 70});
    WindowObject object;
    object.SetProperty("StartPosition", 2);
    for (HWND window : {popup.get(), owned.get()}) {
        ASSERT_TRUE(object.ApplyStartPosition(window));
        ExpectCentredIn(WindowRectOf(window), WindowRectOf(owner.get()));
    }
    const RECT popupRect = WindowRectOf(popup.get());
    EXPECT_EQ(popupRect.right - popupRect.left, 200);
    ASSERT_TRUE(object.ApplyStartPosition(lone.get()));
    ExpectCentredIn(WindowRectOf(lone.get()), WorkArea());

    // A child is centred over its parent although it is placed in client coordinates.
    UniqueWindow child = MakeWindow(PlainClass(), L"", WS_CHILD, {0, 0, 100, 60}, owner.get());
    ASSERT_TRUE(object.ApplyStartPosition(child.get()));
    ExpectCentredIn(WindowRectOf(child.get()), WindowRectOf(owner.get()));
}

}  // namespace
}  // namespace iconvale
