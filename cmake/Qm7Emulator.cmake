# How tests, scripts and build steps start a program of the build.
#
#   qm7_program_path(OUT TARGET)
#
# Natively OUT is the program itself. In a cross build whose toolchain names
# an emulator (cmake/aarch64-linux-gnu.cmake: qemu-user), OUT is a small
# script, build/emulated/TARGET, that runs the program under the emulator:
# test scripts, child processes started by the tests (posix_spawn, system())
# and help2man then start it as they would a native one.
function(qm7_program_path out target)
  if(NOT (CMAKE_CROSSCOMPILING AND CMAKE_CROSSCOMPILING_EMULATOR))
    set(${out} $<TARGET_FILE:${target}> PARENT_SCOPE)
    return()
  endif()
  set(wrapper ${CMAKE_BINARY_DIR}/emulated/${target})
  get_property(made GLOBAL PROPERTY QM7_EMULATED_${target})
  if(NOT made)
    list(JOIN CMAKE_CROSSCOMPILING_EMULATOR "' '" emulator)
    file(GENERATE OUTPUT ${wrapper}
         CONTENT "#!/bin/sh\nexec '${emulator}' '$<TARGET_FILE:${target}>' \"$@\"\n"
         FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                          WORLD_READ WORLD_EXECUTE)
    set_property(GLOBAL PROPERTY QM7_EMULATED_${target} TRUE)
  endif()
  set(${out} ${wrapper} PARENT_SCOPE)
endfunction()
