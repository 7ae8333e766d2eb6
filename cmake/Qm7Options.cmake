# Compile options shared by every target of the project's own code.
#
# Arithmetic: no fast-math, and no contraction of a*b+c into fused multiply-adds,
# so float results are the same on every x86-64 build and the feedback effects
# stay bit-exact between runs and machines.
function(qm7_project_options target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Werror -fno-fast-math -ffp-contract=off)
endfunction()

if(QM7_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Collects the .cpp files of the current folder, leaving out program entry points.
function(qm7_sources out)
  file(GLOB found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(FILTER found EXCLUDE REGEX "/main[^/]*\\.cpp$")
  set(${out} ${found} PARENT_SCOPE)
endfunction()
