# One place for language level, warnings and hardening: every target links zelk_config.
add_library(zelk_config INTERFACE)
target_compile_features(zelk_config INTERFACE cxx_std_20)
target_compile_options(zelk_config INTERFACE
  -Wall -Wextra -Werror -Wno-missing-field-initializers
  -fstack-protector-strong)
target_compile_definitions(zelk_config INTERFACE $<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
if(ZELK_SANITIZE)
  target_compile_options(zelk_config INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(zelk_config INTERFACE -fsanitize=address,undefined)
endif()

# Adds a static library from every .cpp file of the folder.
function(zelk_library name)
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} STATIC ${_src} ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC zelk_config ${ARGN})
endfunction()
