# Each product library sees only the headers of its own layer and of the layers it links:
# its headers are linked into a folder of their own, which is all it puts on the include path.
# An include that goes the wrong way then fails to compile.
function(zv_layer target folder)
  set(root ${CMAKE_BINARY_DIR}/layers/${target})
  file(MAKE_DIRECTORY ${root}/${folder})
  foreach(header ${ARGN})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder}/${header} ${root}/${folder}/${header} SYMBOLIC)
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()

# Sources are UTF-8; the plug-in's texts must reach the binary in the Japanese code page.
function(zv_cxx_options target)
  target_compile_features(${target} PUBLIC cxx_std_17)
  target_compile_definitions(${target} PUBLIC _WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX)
  target_compile_options(${target} PRIVATE
    $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -finput-charset=UTF-8 -fexec-charset=CP932>
    # No build path in the binary: two builds of one commit are byte for byte the same.
    $<$<COMPILE_LANGUAGE:CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.>)
endfunction()
