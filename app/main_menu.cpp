#include "app/main_menu.h"

#include "res/resource_ids.h"
#include "ui/ui_language.h"

namespace iconvale {

UniqueMenu BuildMenuBar() {
    const std::span<const BYTE> bytes = ResourceIn(RT_MENU, IDM_MAIN_MENU, CurrentLanguageId());
    if (bytes.empty()) return UniqueMenu();
    return UniqueMenu(::LoadMenuIndirectW(reinterpret_cast<const MENUTEMPLATEW*>(bytes.data())));
}

UniqueAccelerators BuildAccelerators() {
    ACCEL keys[] = {
        {FCONTROL | FVIRTKEY, 'N', static_cast<WORD>(CommandId(Command::New))},
        {FCONTROL | FVIRTKEY, 'O', static_cast<WORD>(CommandId(Command::Open))},
        {FCONTROL | FVIRTKEY, 'S', static_cast<WORD>(CommandId(Command::Save))},
        {FVIRTKEY, VK_DELETE, static_cast<WORD>(CommandId(Command::Delete))},
        {FCONTROL | FVIRTKEY, '1', static_cast<WORD>(CommandId(Command::ZoomActual))},
        {FCONTROL | FVIRTKEY, '2', static_cast<WORD>(CommandId(Command::ZoomDouble))},
        {FCONTROL | FVIRTKEY, '4', static_cast<WORD>(CommandId(Command::ZoomQuadruple))},
        // Plus is Shift with the "=" key on most layouts, and the keypad has its own.
        {FCONTROL | FVIRTKEY, VK_OEM_PLUS, static_cast<WORD>(CommandId(Command::ZoomIn))},
        {FCONTROL | FSHIFT | FVIRTKEY, VK_OEM_PLUS, static_cast<WORD>(CommandId(Command::ZoomIn))},
        {FCONTROL | FVIRTKEY, VK_ADD, static_cast<WORD>(CommandId(Command::ZoomIn))},
        {FCONTROL | FVIRTKEY, VK_OEM_MINUS, static_cast<WORD>(CommandId(Command::ZoomOut))},
        {FCONTROL | FVIRTKEY, VK_SUBTRACT, static_cast<WORD>(CommandId(Command::ZoomOut))},
        {FCONTROL | FVIRTKEY, 'Z', static_cast<WORD>(CommandId(Command::Undo))},
        {FCONTROL | FVIRTKEY, 'Y', static_cast<WORD>(CommandId(Command::Redo))},
        {FCONTROL | FSHIFT | FVIRTKEY, 'Z', static_cast<WORD>(CommandId(Command::Redo))},
        {FALT | FVIRTKEY, VK_UP, static_cast<WORD>(CommandId(Command::MoveUp))},
        {FALT | FVIRTKEY, VK_DOWN, static_cast<WORD>(CommandId(Command::MoveDown))},
        {FCONTROL | FVIRTKEY, 'C', static_cast<WORD>(CommandId(Command::Copy))},
        {FCONTROL | FVIRTKEY, 'V', static_cast<WORD>(CommandId(Command::Paste))},
    };
    return UniqueAccelerators(::CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys))));
}

}  // namespace iconvale
