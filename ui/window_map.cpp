#include "ui/window_map.h"

#include <memory>
#include <mutex>

#include "ui/property_table.h"

namespace iconvale {
namespace {

struct WindowMap {
    // Held only around table operations, never while a message is handled, so a handler may
    // attach or detach other windows.
    std::mutex lock;
    std::unique_ptr<IntegerTable> table;
};

WindowMap& TheMap() {
    static WindowMap map;
    return map;
}

std::uintptr_t KeyOf(HWND window) {
    return reinterpret_cast<std::uintptr_t>(window);
}

}  // namespace

void EnsureWindowMap() {
    WindowMap& map = TheMap();
    std::lock_guard guard(map.lock);
    if (!map.table) map.table = std::make_unique<IntegerTable>();
}

bool WindowMapExists() {
    WindowMap& map = TheMap();
    std::lock_guard guard(map.lock);
    return map.table != nullptr;
}

std::uintptr_t FindInWindowMap(HWND window) {
    WindowMap& map = TheMap();
    std::lock_guard guard(map.lock);
    return map.table ? map.table->Get(KeyOf(window)) : 0;
}

void AddToWindowMap(HWND window, std::uintptr_t block) {
    WindowMap& map = TheMap();
    std::lock_guard guard(map.lock);
    if (!map.table) map.table = std::make_unique<IntegerTable>();
    map.table->Set(KeyOf(window), block);
}

void RemoveFromWindowMap(HWND window) {
    WindowMap& map = TheMap();
    std::lock_guard guard(map.lock);
    if (map.table) map.table->Remove(KeyOf(window));
}

std::size_t WindowMapSize() {
    WindowMap& map = TheMap();
    std::lock_guard guard(map.lock);
    return map.table ? map.table->Size() : 0;
}

}  // namespace iconvale
