# The DLLs we ship: each carries a version resource made from the VERSION file and is linked
# stripped (no symbols, no debug sections).
#   tunara_shipped_dll(target FILE_NAME "description" [EXTRA "resource lines"])
set(TUNARA_PRODUCT "TunaraXChat")
set(TUNARA_COPYRIGHT "Copyright 2026 Tunara")
set(TUNARA_VERSION_TEMPLATE "${CMAKE_CURRENT_LIST_DIR}/version_info.rc.in")

function(tunara_shipped_dll target file_name description)
  cmake_parse_arguments(V "" "EXTRA" "" ${ARGN})
  set(VI_FILE_NAME "${file_name}")
  set(VI_DESCRIPTION "${description}")
  set(VI_EXTRA_VALUES "${V_EXTRA}")
  get_filename_component(VI_INTERNAL_NAME "${file_name}" NAME_WE)
  set(VI_NUMBERS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
  set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc")
  configure_file("${TUNARA_VERSION_TEMPLATE}" "${rc}" @ONLY)
  target_sources(${target} PRIVATE "${rc}")
  target_link_options(${target} PRIVATE -s)
endfunction()
