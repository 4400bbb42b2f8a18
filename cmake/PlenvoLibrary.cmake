# plenvo_public_headers(TARGET HEADER...): the headers of TARGET's folder that other targets
# may include. Only links to them, gathered in a folder of the build tree, are on the include
# path of the targets that link TARGET; the folder itself is on TARGET's own path alone. A
# quoted include of any other header of the folder, from another folder, does not compile.
#
# A test that needs a unit's internals says so: plenvo_private_headers(TEST_TARGET TARGET).
function(plenvo_public_headers target)
  set(public_dir ${CMAKE_BINARY_DIR}/public/${target})
  file(MAKE_DIRECTORY ${public_dir})
  foreach(header IN LISTS ARGN)
    if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${header})
      message(FATAL_ERROR "${target}: public header ${header} does not exist")
    endif()
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${header} ${public_dir}/${header} SYMBOLIC)
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${public_dir})
  else()
    target_include_directories(${target} PUBLIC ${public_dir} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  set_property(TARGET ${target} PROPERTY PLENVO_SOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
endfunction()

# plenvo_private_headers(TARGET LIBRARY): TARGET (a test) may include every header of
# LIBRARY's folder.
function(plenvo_private_headers target library)
  get_target_property(dir ${library} PLENVO_SOURCE_DIR)
  target_include_directories(${target} PRIVATE ${dir})
endfunction()
