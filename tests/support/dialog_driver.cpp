#include "support/dialog_driver.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <utility>

#include "support/control_probes.h"
#include "support/windows.h"
#include "ui/text.h"

namespace iconvale::testing {

struct DialogDriver::Rule {
    std::function<HWND()> find;
    std::function<void(HWND)> action;
    std::string description;
    UINT_PTR timer = 0;
    bool ran = false;
};

namespace {

constexpr UINT kTickMs = 30;

// Timer procedures get only their id; the rules and watchdogs they serve are found by it.
std::map<UINT_PTR, std::weak_ptr<DialogDriver::Rule>>& PendingRules() {
    static std::map<UINT_PTR, std::weak_ptr<DialogDriver::Rule>> rules;
    return rules;
}

std::set<UINT_PTR>& Watchdogs() {
    static std::set<UINT_PTR> watchdogs;
    return watchdogs;
}

bool SameClass(HWND window, std::string_view className) {
    return className.empty() ||
           ::lstrcmpiW(WidePtr(ToWide(ClassOf(window))), WidePtr(ToWide(className))) == 0;
}

struct ThreadWindowSearch {
    std::function<bool(HWND)> matches;
    HWND found = nullptr;
};

BOOL CALLBACK MatchThreadWindow(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<ThreadWindowSearch*>(param);
    if (::IsWindowVisible(window) && search.matches(window)) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindThreadWindowWhere(std::function<bool(HWND)> matches) {
    ThreadWindowSearch search{std::move(matches)};
    ::EnumThreadWindows(::GetCurrentThreadId(), &MatchThreadWindow,
                        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK CloseThreadWindow(HWND window, LPARAM) {
    if (!::IsWindowVisible(window)) return TRUE;
    if (ClassOf(window) == "#32770") {
        ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        if (HWND no = ::GetDlgItem(window, IDNO)) PostClick(no);
    }
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

void CALLBACK RuleTick(HWND, UINT, UINT_PTR id, DWORD) {
    auto pending = PendingRules().find(id);
    std::shared_ptr<DialogDriver::Rule> rule;
    if (pending != PendingRules().end()) rule = pending->second.lock();
    if (!rule) {
        ::KillTimer(nullptr, id);
        if (pending != PendingRules().end()) PendingRules().erase(pending);
        return;
    }
    HWND window = rule->find();
    if (!window) return;
    // Stopped before the action runs: the action may run a modal loop of its own.
    ::KillTimer(nullptr, id);
    PendingRules().erase(pending);
    rule->timer = 0;
    rule->ran = true;
    try {
        rule->action(window);
    } catch (...) {
        ADD_FAILURE() << "the action for \"" << rule->description << "\" threw";
    }
}

void CALLBACK WatchdogTick(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    if (!Watchdogs().erase(id)) return;
    ADD_FAILURE() << "modal windows still open after " << DialogDriver::kPatienceMs << " ms";
    ::EnumThreadWindows(::GetCurrentThreadId(), &CloseThreadWindow, 0);
}

HWND FindChildWhere(HWND parent, const std::function<bool(HWND)>& matches) {
    for (HWND child = ::GetWindow(parent, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (matches(child)) return child;
        if (HWND below = FindChildWhere(child, matches)) return below;
    }
    return nullptr;
}

}  // namespace

DialogDriver::~DialogDriver() {
    for (const auto& rule : rules_) {
        if (!rule->timer) continue;
        ::KillTimer(nullptr, rule->timer);
        PendingRules().erase(rule->timer);
    }
    if (watchdog_) {
        ::KillTimer(nullptr, watchdog_);
        Watchdogs().erase(watchdog_);
    }
}

void DialogDriver::When(std::string caption, std::function<void(HWND)> action,
                        std::string className) {
    auto rule = std::make_shared<Rule>();
    rule->find = [caption, className] { return FindThreadWindow(caption, className); };
    rule->action = std::move(action);
    rule->description = std::move(caption);
    Watch(std::move(rule));
}

void DialogDriver::WhenFound(std::function<HWND()> find, std::function<void(HWND)> action,
                             std::string description) {
    auto rule = std::make_shared<Rule>();
    rule->find = std::move(find);
    rule->action = std::move(action);
    rule->description = std::move(description);
    Watch(std::move(rule));
}

void DialogDriver::Watch(std::shared_ptr<Rule> rule) {
    rule->timer = ::SetTimer(nullptr, 0, kTickMs, &RuleTick);
    ASSERT_NE(rule->timer, 0u);
    PendingRules()[rule->timer] = rule;
    rules_.push_back(std::move(rule));
    if (!watchdog_) {
        watchdog_ = ::SetTimer(nullptr, 0, kPatienceMs, &WatchdogTick);
        if (watchdog_) Watchdogs().insert(watchdog_);
    }
}

bool DialogDriver::Ran(std::string_view caption) const {
    for (const auto& rule : rules_) {
        if (rule->description == caption && rule->ran) return true;
    }
    return false;
}

bool DialogDriver::AllRan() const {
    for (const auto& rule : rules_) {
        if (!rule->ran) return false;
    }
    return !rules_.empty();
}

HWND FindThreadWindow(std::string_view caption, std::string_view className) {
    return FindThreadWindowWhere(
        [&](HWND window) { return WindowText(window) == caption && SameClass(window, className); });
}

HWND FindOwnedWindow(HWND owner, std::string_view className) {
    return FindThreadWindowWhere([&](HWND window) {
        return ::GetWindow(window, GW_OWNER) == owner && SameClass(window, className);
    });
}

HWND FindChild(HWND parent, std::string_view text, std::string_view className) {
    return FindChildWhere(parent, [&](HWND child) {
        return WindowText(child) == text && SameClass(child, className);
    });
}

void RunModal(std::string caption, const std::function<void(HWND)>& act,
              const std::function<void()>& show) {
    HWND shown = nullptr;
    DialogDriver driver;
    driver.When(std::move(caption), [&](HWND window) {
        shown = window;
        act(window);
    });
    show();
    EXPECT_TRUE(driver.AllRan());
    EXPECT_FALSE(::IsWindow(shown));
}

bool IsTicked(HWND box) {
    return ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

HWND FindChildById(HWND parent, int id) {
    return FindChildWhere(parent, [id](HWND child) { return ::GetDlgCtrlID(child) == id; });
}

std::string ClassOf(HWND window) {
    wchar_t name[256] = {};
    const int length = ::GetClassNameW(window, name, 256);
    return ToNarrow(std::wstring_view(name, length > 0 ? static_cast<std::size_t>(length) : 0));
}

void Click(HWND button) {
    ::SendMessageW(button, BM_CLICK, 0, 0);
}

void PostClick(HWND button) {
    ::PostMessageW(button, BM_CLICK, 0, 0);
}

void PostKey(HWND control, UINT virtualKey) {
    const LPARAM scan = static_cast<LPARAM>(::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    ::PostMessageW(control, WM_KEYDOWN, virtualKey, scan | 1);
    ::PostMessageW(control, WM_KEYUP, virtualKey, scan | 1 | (1u << 30) | (1u << 31));
}

void SetText(HWND control, std::string_view gbk) {
    ::SetWindowTextW(control, WidePtr(ToWide(gbk)));
}

std::string TextOf(HWND control) {
    return WindowText(control);
}

RECT ClientRectOf(HWND child) {
    return ChildRect(child);
}

std::array<int, 4> PlaceOf(HWND child) {
    const RECT r = ClientRectOf(child);
    return {static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right - r.left),
            static_cast<int>(r.bottom - r.top)};
}

void ExpectDesignedControls(HWND dialog, std::span<const DesignedControl> controls) {
    for (const DesignedControl& e : controls) {
        HWND control = e.id ? FindChildById(dialog, e.id) : FindChild(dialog, e.text);
        ASSERT_NE(control, nullptr) << e.text;
        EXPECT_EQ(TextOf(control), e.text);
        EXPECT_EQ(ClassOf(control), e.className) << e.text;
        EXPECT_EQ(PlaceOf(control), e.place) << e.text;
    }
}

void ExpectDropDownItems(HWND list, std::initializer_list<const char*> items, int selected,
                         int closedHeight) {
    const auto count = static_cast<LRESULT>(items.size());
    ASSERT_EQ(::SendMessageW(list, CB_GETCOUNT, 0, 0), count);
    int index = 0;
    for (const char* item : items) EXPECT_EQ(ComboItem(list, index++), item);
    EXPECT_EQ(::SendMessageW(list, CB_GETCURSEL, 0, 0), selected);
    RECT dropped{};
    ::SendMessageW(list, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    const auto itemHeight = ::SendMessageW(list, CB_GETITEMHEIGHT, 0, 0);
    EXPECT_GE(dropped.bottom - dropped.top, closedHeight + count * itemHeight)
        << "every item shows";
}

void ExpectFixedUnownedCentred(HWND dialog, int width, int height) {
    RECT outer{};
    ::GetWindowRect(dialog, &outer);
    EXPECT_EQ(outer.right - outer.left, width);
    EXPECT_EQ(outer.bottom - outer.top, height);
    EXPECT_EQ(outer.left, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2);
    EXPECT_EQ(outer.top, (::GetSystemMetrics(SM_CYSCREEN) - height) / 2);
    const LONG style = ::GetWindowLongW(dialog, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CHILD));
    EXPECT_EQ(::GetWindow(dialog, GW_OWNER), nullptr);
}

}  // namespace iconvale::testing
