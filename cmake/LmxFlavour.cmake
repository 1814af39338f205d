# Compiler settings shared by every target of one build flavour:
# native, native with sanitizers, or Windows x86 through mingw-w64.
add_compile_options(-Wall -Wextra)

if(WIN32)
  set(LMX_FLAVOUR wine)
  add_compile_definitions(UNICODE _UNICODE _WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX)
elseif(LMX_SANITIZE)
  set(LMX_FLAVOUR asan)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
else()
  set(LMX_FLAVOUR native)
endif()
