# Qm7WindowsResources.cmake — the resources of a Windows program:
#   qm7_windows_resources(TARGET "File description")
# compiles packaging/windows/program.rc.in for TARGET with windres: the
# icon group (16 to 256 px, the icons qm7-assets drew, joined into one .ico
# by icoutils' icotool), VERSIONINFO from the project's version, and the
# manifest (packaging/windows/program.manifest.in). The icons are the PNGs
# beside QM7_WINDOW_ICON_SOURCE (a Linux build's icons/ folder, named by
# scripts/build-windows.sh); without them the program has no icon group.
enable_language(RC)

set(QM7_ICO "")
if(QM7_WINDOW_ICON_SOURCE AND EXISTS "${QM7_WINDOW_ICON_SOURCE}")
  get_filename_component(icon_dir "${QM7_WINDOW_ICON_SOURCE}" DIRECTORY)
  set(icon_pngs "")
  foreach(size 16 32 48 64 128 256)
    list(APPEND icon_pngs ${icon_dir}/qm7-${size}.png)
  endforeach()
  find_program(QM7_ICOTOOL icotool REQUIRED)
  set(QM7_ICO ${CMAKE_BINARY_DIR}/resources/qm7.ico)
  # 256 px is stored as PNG (--raw), the smaller sizes as bitmaps.
  add_custom_command(
    OUTPUT ${QM7_ICO}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/resources
    COMMAND ${QM7_ICOTOOL} -c -o ${QM7_ICO} ${icon_dir}/qm7-16.png ${icon_dir}/qm7-32.png
            ${icon_dir}/qm7-48.png ${icon_dir}/qm7-64.png ${icon_dir}/qm7-128.png
            --raw=${icon_dir}/qm7-256.png
    DEPENDS ${icon_pngs}
    COMMENT "Joining the icons into qm7.ico"
    VERBATIM)
  # The programs are in other folders: they wait for the icon through a target.
  add_custom_target(qm7_ico DEPENDS ${QM7_ICO})
endif()

function(qm7_windows_resources target description)
  set(QM7_RC_NAME ${target})
  set(QM7_RC_DESCRIPTION "${description}")
  set(dir ${CMAKE_BINARY_DIR}/resources)
  set(QM7_RC_MANIFEST ${dir}/${target}.manifest)
  configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/program.manifest.in ${QM7_RC_MANIFEST} @ONLY)
  # The group is named "iconbig" (windres stores ICONBIG; names are looked up
  # without regard to case): the window class loads it by that name.
  if(QM7_ICO)
    set(QM7_RC_ICON "iconbig ICON \"${QM7_ICO}\"")
  else()
    set(QM7_RC_ICON "")
  endif()
  configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/program.rc.in ${dir}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${dir}/${target}.rc)
  if(QM7_ICO)
    add_dependencies(${target} qm7_ico)
  endif()
  set_source_files_properties(${dir}/${target}.rc PROPERTIES
    OBJECT_DEPENDS "${QM7_ICO};${QM7_RC_MANIFEST}")
endfunction()
