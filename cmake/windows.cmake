# The Windows program: a library of everything but the entry point, so that tests link it.
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_BINARY_DIR}/art -I${CMAKE_BINARY_DIR}/version -I${CMAKE_SOURCE_DIR}")
# The version resource takes project()'s version; one without a patch number is x.y.0.
set(ICONVALE_VERSION_PATCH ${PROJECT_VERSION_PATCH})
if(NOT ICONVALE_VERSION_PATCH)
    set(ICONVALE_VERSION_PATCH 0)
endif()
configure_file(${CMAKE_SOURCE_DIR}/res/version.h.in ${CMAKE_BINARY_DIR}/version/iconvale_version.h @ONLY)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)

file(GLOB ICONVALE_WINDOWS_SOURCES CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/core/*.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/imaging/*.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/app/*.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/ui/*.cpp)
list(REMOVE_ITEM ICONVALE_WINDOWS_SOURCES ${ICONVALE_PORTABLE_SOURCES}
    ${ICONVALE_NATIVE_PICTURE_SOURCES} ${CMAKE_CURRENT_SOURCE_DIR}/app/main.cpp)

add_library(iconvale_lib STATIC ${ICONVALE_WINDOWS_SOURCES})
target_link_libraries(iconvale_lib PUBLIC iconvale_portable
    comctl32 gdiplus comdlg32 shell32 ole32 oleaut32 uuid advapi32 gdi32 user32 shlwapi)
iconvale_warnings(iconvale_lib)

include(cmake/art.cmake)
set_property(SOURCE ${CMAKE_SOURCE_DIR}/res/iconvale.rc APPEND PROPERTY OBJECT_DEPENDS
    ${CMAKE_BINARY_DIR}/version/iconvale_version.h)
# Program text is GBK: narrow literals are stored in code page 936 whatever the source encoding.
# Targets that hold program text link this; the command line (cli/) speaks UTF-8 instead.
add_library(iconvale_program_text INTERFACE)
target_compile_options(iconvale_program_text INTERFACE -fexec-charset=GBK)
target_link_libraries(iconvale_lib PRIVATE iconvale_program_text)

add_executable(iconvale WIN32 app/main.cpp res/iconvale.rc)
add_dependencies(iconvale iconvale_art)
target_include_directories(iconvale PRIVATE ${ART_DIR})
target_link_libraries(iconvale PRIVATE iconvale_lib iconvale_program_text)
target_link_options(iconvale PRIVATE -static -municode -mwindows)
iconvale_warnings(iconvale)
