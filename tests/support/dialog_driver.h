// Works real modal windows from a test. A modal window runs its own message loop on the test's
// thread, so the driver acts from a timer that fires inside that loop.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace iconvale::testing {

class DialogDriver {
public:
    // How long after the first rule the driver waits before it fails the test and closes the
    // thread's windows, so that a window that never appears or never closes cannot hang it.
    // Only a guard against hanging: under a loaded Wine the folder browser alone can take
    // seconds to show and settle its tree, and the tests' own waits inside a dialog run to 15 s.
    static constexpr UINT kPatienceMs = 60000;

    DialogDriver() = default;
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // Calls `action` once, from a timer on this thread, as soon as a visible top-level window
    // of this thread with this caption (GBK; and class, when given) exists. Several rules may
    // wait at once; each stops watching once it ran.
    void When(std::string caption, std::function<void(HWND)> action, std::string className = {});
    // The same with any way of finding the window; `find` returns null while there is none.
    void WhenFound(std::function<HWND()> find, std::function<void(HWND)> action,
                   std::string description);

    // Whether the rule for this caption (or description) has run; without one, whether all have.
    bool Ran(std::string_view caption) const;
    bool AllRan() const;

    struct Rule;

private:
    void Watch(std::shared_ptr<Rule> rule);

    std::vector<std::shared_ptr<Rule>> rules_;
    UINT_PTR watchdog_ = 0;
};

// Runs `show`, which holds a modal window captioned `caption` until it closes; `act` runs once
// inside that window's loop. Fails the test if the window never came or outlived `show`.
void RunModal(std::string caption, const std::function<void(HWND)>& act,
              const std::function<void()>& show);

// A visible top-level window of this thread with this caption (and class, when given).
HWND FindThreadWindow(std::string_view caption, std::string_view className = {});
// A visible window of this thread owned by `owner` (and of this class, when given).
HWND FindOwnedWindow(HWND owner, std::string_view className = {});
// A descendant by caption (GBK) and class, when given; depth first, in z order.
HWND FindChild(HWND parent, std::string_view text, std::string_view className = {});
HWND FindChildById(HWND parent, int id);
std::string ClassOf(HWND window);
bool IsTicked(HWND box);

// BM_CLICK, sent: returns after whatever the click runs, modal loops included.
void Click(HWND button);
// BM_CLICK, posted: the click runs in the loop of the window it belongs to.
void PostClick(HWND button);
// A key pressed on a control, posted so that the modal loop's dialog keys see it.
void PostKey(HWND control, UINT virtualKey);
void SetText(HWND control, std::string_view gbk);
std::string TextOf(HWND control);
// The program's dialogs: an outer size of exactly width x height, centred on the screen, a caption
// with a system menu but a fixed frame, and no owner.
void ExpectFixedUnownedCentred(HWND dialog, int width, int height);
// A child's rectangle in its parent's client coordinates.
RECT ClientRectOf(HWND child);
// The same as {left, top, width, height}, the way layouts are designed.
std::array<int, 4> PlaceOf(HWND child);

// A control as its dialog's design has it; one with an id of 0 is found by its text.
struct DesignedControl {
    int id;
    const char* text;
    const char* className;
    std::array<int, 4> place;
};
// Each control exists with its text, its class and its place.
void ExpectDesignedControls(HWND dialog, std::span<const DesignedControl> controls);
// A drop-down list holds these items, in order, with `selected` chosen, and its dropped list,
// below the closed one of `closedHeight`, has room for all of them.
void ExpectDropDownItems(HWND list, std::initializer_list<const char*> items, int selected,
                         int closedHeight);

}  // namespace iconvale::testing
