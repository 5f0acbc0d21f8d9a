# The program's pictures are drawn by a small host tool at build time: the toolbar images as an
# image group (through the codec), the program icon and the ".eil" document icon.
find_program(HOST_CXX NAMES g++ c++ clang++ REQUIRED)
set(ART_DIR ${CMAKE_BINARY_DIR}/art)
set(ART_TOOL ${ART_DIR}/make_art${CMAKE_HOST_EXECUTABLE_SUFFIX})
set(ART_TOOL_SOURCES
    ${CMAKE_SOURCE_DIR}/tools/make_art.cpp
    ${CMAKE_SOURCE_DIR}/core/image_list_stream.cpp
    ${CMAKE_SOURCE_DIR}/core/bit_rows.cpp
    ${CMAKE_SOURCE_DIR}/core/group_file.cpp)
add_custom_command(OUTPUT ${ART_TOOL}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ART_DIR}
    COMMAND ${HOST_CXX} -std=c++20 -O1 -I${CMAKE_SOURCE_DIR} ${ART_TOOL_SOURCES} -o ${ART_TOOL}
    DEPENDS ${ART_TOOL_SOURCES}
    COMMENT "Building the picture generator")
add_custom_command(OUTPUT ${ART_DIR}/toolbar.eil ${ART_DIR}/iconvale.ico ${ART_DIR}/image.ico
    COMMAND ${ART_TOOL} ${ART_DIR}/toolbar.eil ${ART_DIR}/iconvale.ico ${ART_DIR}/image.ico
    DEPENDS ${ART_TOOL}
    COMMENT "Drawing the toolbar images and icons")
configure_file(${CMAKE_SOURCE_DIR}/res/iconvale.manifest ${ART_DIR}/iconvale.manifest COPYONLY)
# The document icon lies beside the program, where the file association points.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/image.ico
    COMMAND ${CMAKE_COMMAND} -E copy ${ART_DIR}/image.ico ${CMAKE_BINARY_DIR}/image.ico
    DEPENDS ${ART_DIR}/image.ico)
add_custom_target(iconvale_art DEPENDS ${ART_DIR}/toolbar.eil ${ART_DIR}/iconvale.ico
    ${CMAKE_BINARY_DIR}/image.ico)
set_source_files_properties(${CMAKE_SOURCE_DIR}/res/iconvale.rc PROPERTIES
    OBJECT_DEPENDS "${ART_DIR}/toolbar.eil;${ART_DIR}/iconvale.ico;${ART_DIR}/iconvale.manifest")
