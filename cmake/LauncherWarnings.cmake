option(LAUNCHER_SANITIZE "Build with AddressSanitizer and UBSan" OFF)
option(LAUNCHER_FUZZ "Build the libFuzzer targets (clang only)" OFF)

# __FILE__ relative to the source tree: log records and assertions then read
# "common/qlogger/QLogger.cpp", not the builder's home folder.
add_compile_options(-fmacro-prefix-map=${CMAKE_SOURCE_DIR}/=)

if(LAUNCHER_SANITIZE OR LAUNCHER_FUZZ)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
  # One static executable: the only DLLs imported are the system's own.
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()

function(launcher_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-missing-field-initializers)
endfunction()
