# qpm_add_component_library(<name> <exports.txt> <framework> SOURCES ...)
#
# A component library: a shared library of the sources and one framework
# variant (qpm_framework_basic / QPM::framework without the plug-in
# fields, qpm_framework_plugin / QPM::framework_plugin with them),
# exporting exactly the names listed in <exports.txt>, one per line: a
# linker version script on Linux, a .def file on Windows. The same file
# serves this tree and the installed QPM package.
#
# The framework is a static archive linked whole: nothing in a component
# library refers to its entry points (only the host does, by name), so a
# plain archive link would leave them out.
function(qpm_add_component_library name exports_file framework)
  cmake_parse_arguments(ARG "" "" "SOURCES" ${ARGN})
  get_filename_component(exports_file "${exports_file}" ABSOLUTE)
  add_library(${name} SHARED ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${framework}>")
  set_target_properties(${name} PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  # A changed list remakes the script or .def file.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${exports_file})
  file(STRINGS ${exports_file} exported)
  if(WIN32)
    set(def "${CMAKE_CURRENT_BINARY_DIR}/${name}.def")
    set(lines "EXPORTS\n")
    foreach(e ${exported})
      string(REGEX MATCH "^_([A-Za-z0-9_]+)@([0-9]+)$" decorated "${e}")
      if(decorated AND CMAKE_SIZEOF_VOID_P EQUAL 4)
        # A stdcall name exported literally, decoration and all.
        string(APPEND lines "  ${e}=${CMAKE_MATCH_1}@${CMAKE_MATCH_2}\n")
      elseif(decorated)
        string(APPEND lines "  ${e}=${CMAKE_MATCH_1}\n")
      else()
        string(APPEND lines "  ${e}\n")
      endif()
    endforeach()
    file(WRITE ${def} "${lines}")
    set_property(GLOBAL APPEND PROPERTY QPM_COMPONENT_LIBRARIES "$<TARGET_FILE:${name}>\t${exports_file}")
    target_sources(${name} PRIVATE ${def})
    target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++ -Wl,--enable-stdcall-fixup)
    set_target_properties(${name} PROPERTIES PREFIX "")
  else()
    set(map "${CMAKE_CURRENT_BINARY_DIR}/${name}.map")
    set(lines "{\n  global:\n")
    foreach(e ${exported})
      # An ELF symbol cannot hold '@': "_Name@N" is exported as "Name".
      string(REGEX REPLACE "^_([A-Za-z0-9_]+)@[0-9]+$" "\\1" e "${e}")
      string(APPEND lines "    ${e};\n")
    endforeach()
    string(APPEND lines "  local: *;\n};\n")
    file(WRITE ${map} "${lines}")
    target_link_options(${name} PRIVATE -Wl,--version-script=${map})
    # clang's sanitizer runtime lives in the program that loads the
    # library, so a fuzz build's libraries leave its symbols open.
    if(NOT QPM_FUZZ)
      target_link_options(${name} PRIVATE -Wl,--no-undefined)
    endif()
    set_target_properties(${name} PROPERTIES LINK_DEPENDS ${map})
  endif()
endfunction()

