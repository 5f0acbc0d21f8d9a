# The Windows program: a library of everything but the entry point, so that tests link it.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)

add_library(iconvale_lib STATIC
    core/image_group.cpp
    core/image_list_bridge.cpp
    ui/heap_block.cpp
    ui/text.cpp
    app/program.cpp
)
target_link_libraries(iconvale_lib PUBLIC iconvale_portable
    comctl32 gdiplus comdlg32 shell32 ole32 oleaut32 uuid advapi32 gdi32 user32 shlwapi)
iconvale_warnings(iconvale_lib)

add_executable(iconvale WIN32 app/main.cpp)
target_link_libraries(iconvale PRIVATE iconvale_lib)
target_link_options(iconvale PRIVATE -static -municode -mwindows)
iconvale_warnings(iconvale)
