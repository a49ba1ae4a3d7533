# The portable part of the application shell: start-up, the usage document and the pure layout
# helpers that live beside them. Window code lives in win32/ and console/.
file(GLOB zelvane_app_core_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
add_library(zelvane_app_core STATIC ${zelvane_app_core_sources})
target_link_libraries(zelvane_app_core PUBLIC zelvane_description zelvane_util zelvane_resources zelvane_seams)
