# The module's resources (resources/tessivane.rc): on Windows the resource script compiled by
# windres, elsewhere a generated C++ file that embeds the same bytes.
#
# tv_add_module_resources(<target>) adds them to a module or executable. Not to a static library:
# the linker would drop the unreferenced object that registers them.
include(TvResourceList)

set(TV_RESOURCE_SCRIPT ${PROJECT_SOURCE_DIR}/resources/tessivane.rc)
tv_read_resource_list(${TV_RESOURCE_SCRIPT} TV_RESOURCE)
# A changed list is read again.
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TV_RESOURCE_SCRIPT})

if(WIN32)
  enable_language(RC)
else()
  set(TV_EMBEDDED_RESOURCES ${PROJECT_BINARY_DIR}/resources/embedded_resources.cpp)
  add_custom_command(
    OUTPUT ${TV_EMBEDDED_RESOURCES}
    COMMAND ${CMAKE_COMMAND} -DRC=${TV_RESOURCE_SCRIPT} -DOUT=${TV_EMBEDDED_RESOURCES}
            -P ${PROJECT_SOURCE_DIR}/cmake/TvEmbedResources.cmake
    DEPENDS ${TV_RESOURCE_SCRIPT} ${TV_RESOURCE_FILES} ${PROJECT_SOURCE_DIR}/cmake/TvEmbedResources.cmake
            ${PROJECT_SOURCE_DIR}/cmake/TvResourceList.cmake
    COMMENT "Embedding the module's resources"
    VERBATIM)
  # An object library: its objects are linked into each target that names it, none is dropped.
  add_library(tv_module_resources OBJECT ${TV_EMBEDDED_RESOURCES})
  target_include_directories(tv_module_resources PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(tv_module_resources PUBLIC tv_platform)
endif()

function(tv_add_module_resources target)
  get_target_property(type ${target} TYPE)
  if(NOT type MATCHES "^(EXECUTABLE|MODULE_LIBRARY|SHARED_LIBRARY)$")
    message(FATAL_ERROR "tv_add_module_resources(${target}): ${type} is not a final target")
  endif()
  if(WIN32)
    target_sources(${target} PRIVATE ${TV_RESOURCE_SCRIPT})
    set_source_files_properties(${TV_RESOURCE_SCRIPT} TARGET_DIRECTORY ${target} PROPERTIES
      OBJECT_DEPENDS "${TV_RESOURCE_FILES}"
      COMPILE_OPTIONS "--include-dir=${PROJECT_SOURCE_DIR}/resources")
  else()
    target_link_libraries(${target} PRIVATE tv_module_resources)
  endif()
endfunction()
