# KORVANE_SANITIZER selects an instrumented build of every target:
#   address -> AddressSanitizer + UndefinedBehaviorSanitizer
#   thread  -> ThreadSanitizer
if(KORVANE_SANITIZER STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(KORVANE_SANITIZER STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT KORVANE_SANITIZER STREQUAL "")
  message(FATAL_ERROR "KORVANE_SANITIZER must be empty, 'address' or 'thread'")
endif()

# Fuzz builds instrument every library for coverage; the fuzz programs add the driver.
if(KORVANE_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "KORVANE_FUZZ needs clang (CC=clang CXX=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
