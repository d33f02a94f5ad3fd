# Compile settings shared by every target, in two INTERFACE targets:
#   lib_product_settings  the program's own code: strict warnings and Qt's
#                         strictness definitions (no implicit ASCII or byte
#                         array casts, nothing Qt deprecated up to 6.4, the
#                         Qt of Debian 12)
#   lib_test_settings     tests and benchmarks: the warnings without the
#                         Qt casts, so test data may stay terse
# LIB_WERROR (on in CI) turns warnings into errors for both.

set(_lib_warnings -Wall -Wextra -Wpedantic -Wold-style-cast -Wnon-virtual-dtor
                  -Woverloaded-virtual -Wcast-qual -Wcast-align -Wshadow=local)

add_library(lib_product_settings INTERFACE)
target_compile_options(lib_product_settings INTERFACE ${_lib_warnings} $<$<BOOL:${LIB_WERROR}>:-Werror>)
target_compile_definitions(lib_product_settings INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_CAST_FROM_BYTEARRAY
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  # The same limit under both names: Qt 6.4 (Debian 12) reads the first, Qt
  # 6.5 and later the second.
  QT_DISABLE_DEPRECATED_BEFORE=0x060400
  QT_DISABLE_DEPRECATED_UP_TO=0x060400)

add_library(lib_test_settings INTERFACE)
target_compile_options(lib_test_settings INTERFACE -Wall -Wextra $<$<BOOL:${LIB_WERROR}>:-Werror>)

# One static library per layer: lib_layer(name SOURCES ... LINKS ...).
function(lib_layer name)
  cmake_parse_arguments(L "" "" "SOURCES;LINKS" ${ARGN})
  add_library(${name} STATIC ${L_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${L_LINKS} PRIVATE lib_product_settings)
endfunction()
