# Wayland protocols the program speaks itself. Each protocol is described by an XML file of ours
# under protocols/ (written from the published interface); wayland-scanner turns it into a client
# header and the interface tables, compiled into the target that asks for it.
find_program(WAYLAND_SCANNER wayland-scanner REQUIRED)
pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)

# tavello_wayland_protocol(<target> <name>): protocols/<name>.xml → <name>-client.h, included as
# "<name>-client.h", and its code, built into <target>.
function(tavello_wayland_protocol target name)
  set(xml ${PROJECT_SOURCE_DIR}/protocols/${name}.xml)
  set(out ${CMAKE_BINARY_DIR}/protocols)
  file(MAKE_DIRECTORY ${out})
  add_custom_command(
    OUTPUT ${out}/${name}-client.h
    COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${out}/${name}-client.h
    DEPENDS ${xml} VERBATIM)
  add_custom_command(
    OUTPUT ${out}/${name}-protocol.c
    COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${out}/${name}-protocol.c
    DEPENDS ${xml} VERBATIM)
  # The generated code is C; compiled as such inside a C++ target.
  set_source_files_properties(${out}/${name}-protocol.c PROPERTIES LANGUAGE C)
  target_sources(${target} PRIVATE ${out}/${name}-client.h ${out}/${name}-protocol.c)
  target_include_directories(${target} PUBLIC ${out})
  target_link_libraries(${target} PUBLIC PkgConfig::WAYLAND_CLIENT)
endfunction()

# tavello_wayland_protocol_file(<target> <xml> <name>): as above for a protocol file a Debian
# package installs (wayland-protocols), named by its full path: <name>-client.h and its code.
function(tavello_wayland_protocol_file target xml name)
  if(NOT EXISTS ${xml})
    message(FATAL_ERROR "Wayland protocol ${name}: ${xml} not found (see scripts/setup.sh)")
  endif()
  set(out ${CMAKE_BINARY_DIR}/protocols)
  file(MAKE_DIRECTORY ${out})
  add_custom_command(
    OUTPUT ${out}/${name}-client.h
    COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${out}/${name}-client.h
    DEPENDS ${xml} VERBATIM)
  add_custom_command(
    OUTPUT ${out}/${name}-protocol.c
    COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${out}/${name}-protocol.c
    DEPENDS ${xml} VERBATIM)
  set_source_files_properties(${out}/${name}-protocol.c PROPERTIES LANGUAGE C
    SKIP_PRECOMPILE_HEADERS ON)
  target_sources(${target} PRIVATE ${out}/${name}-client.h ${out}/${name}-protocol.c)
  target_include_directories(${target} PUBLIC ${out})
  target_link_libraries(${target} PUBLIC PkgConfig::WAYLAND_CLIENT)
endfunction()
