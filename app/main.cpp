// Program entry: builds the program-wide objects, runs the main window, then shuts down.
#include <windows.h>
#include <ole2.h>

#include "app/platform_modal_ui.h"
#include "app/app_host.h"
#include "app/program_objects.h"
#include "ui/text.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    // Drag and drop needs OLE on the window's thread.
    HRESULT ole = ::OleInitialize(nullptr);
    int result = 1;
    {
        iconvale::ProgramObjects program;
        iconvale::PlatformModalUi ui;
        std::wstring_view line = ::GetCommandLineW();
        result = iconvale::RunProgram(program, ui, {iconvale::ToNarrow(line), {}}, instance,
                                      showCommand);
    }
    if (SUCCEEDED(ole)) ::OleUninitialize();
    return result;
}
