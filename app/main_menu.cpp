#include "app/main_menu.h"

#include "ui/control_text.h"

namespace iconvale {

namespace {

struct MenuItem {
    const char* text;  // nullptr for a separator
    Command command;
};

constexpr Command kNone = Command::New;  // ignored for separators

const MenuItem kFileMenu[] = {
    {"新建(&N)\tCtrl+N", Command::New},
    {"打开(&O)\tCtrl+O", Command::Open},
    {"保存(&S)\tCtrl+S", Command::Save},
    {nullptr, kNone},
    {"另存为", Command::SaveAs},
    {"导入(&I)…", Command::Import},
    {"导出(&X)…", Command::Export},
    {"写回表单(&W)", Command::WriteBack},
    {nullptr, kNone},
    {"退出", Command::Exit},
};
const MenuItem kEditMenu[] = {
    {"添加图标(&A)", Command::Add},
    {"替换图标(&R)", Command::Replace},
    {nullptr, kNone},
    {"删除(&D)\tDel", Command::Delete},
    {"清空(&C)", Command::Clear},
    {nullptr, kNone},
    {"合并图片组(&M)", Command::Merge},
    {"提取图标(&E)", Command::Extract},
    {nullptr, kNone},
    {"撤销(&U)\tCtrl+Z", Command::Undo},
    {"重做(&Y)\tCtrl+Y", Command::Redo},
    {"上移\tAlt+Up", Command::MoveUp},
    {"下移\tAlt+Down", Command::MoveDown},
    {nullptr, kNone},
    {"复制(&O)\tCtrl+C", Command::Copy},
    {"粘贴(&P)\tCtrl+V", Command::Paste},
};
const MenuItem kOptionsMenu[] = {
    {"自动分割(&A)", Command::AutoSegment},
    {"设置(&S)", Command::Settings},
};
const MenuItem kHelpMenu[] = {
    {"关于(&O)", Command::About},
};

const MenuItem kViewMenu[] = {
    {"实际大小(&1)\tCtrl+1", Command::ZoomActual},
    {"两倍(&2)\tCtrl+2", Command::ZoomDouble},
    {"四倍(&4)\tCtrl+4", Command::ZoomQuadruple},
    {nullptr, kNone},
    {"放大(&I)\tCtrl++", Command::ZoomIn},
    {"缩小(&O)\tCtrl+-", Command::ZoomOut},
    {nullptr, kNone},
    {"透明处显示棋盘格", Command::Checkerboard},
};

// Each language's name is spelt in that language.
const MenuItem kLanguageMenu[] = {
    {"中文", Command::LanguageChinese},
    {"English", Command::LanguageEnglish},
};

template <std::size_t N>
HMENU BuildPopup(const MenuItem (&items)[N]) {
    HMENU popup = ::CreatePopupMenu();
    for (const MenuItem& item : items) {
        if (!item.text) {
            ::AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuText(popup, CommandId(item.command), item.text);
        }
    }
    return popup;
}

template <std::size_t N>
void AppendPopup(HMENU bar, const char* title, const MenuItem (&items)[N]) {
    AppendSubmenu(bar, BuildPopup(items), title);
}

}  // namespace

UniqueMenu BuildMenuBar() {
    UniqueMenu bar(::CreateMenu());
    AppendPopup(bar.get(), "文件(&F)", kFileMenu);
    AppendPopup(bar.get(), "编辑(&E)", kEditMenu);
    AppendPopup(bar.get(), "选项(&O)", kOptionsMenu);
    AppendPopup(bar.get(), "帮助(&H)", kHelpMenu);
    HMENU view = BuildPopup(kViewMenu);
    AppendSubmenu(view, BuildPopup(kLanguageMenu), "语言 / Language (&L)");
    AppendSubmenu(bar.get(), view, "视图(&V)");
    return bar;
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
