# Helpers that stage data files into the program folder (build/bin) and
# install them beside the programs.

# kestra_stage_files(TARGET name FILES f1 f2 ... [DESTINATION subfolder])
# Copies the files into the program folder whenever they change.
function(kestra_stage_files)
  cmake_parse_arguments(ARG "" "TARGET;DESTINATION" "FILES" ${ARGN})
  set(dest ${KESTRA_BIN_DIR})
  if(ARG_DESTINATION)
    set(dest ${KESTRA_BIN_DIR}/${ARG_DESTINATION})
  endif()
  set(outputs)
  foreach(file IN LISTS ARG_FILES)
    get_filename_component(abs ${file} ABSOLUTE)
    get_filename_component(name ${file} NAME)
    add_custom_command(OUTPUT ${dest}/${name}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${dest}
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${abs} ${dest}/${name}
      DEPENDS ${abs} VERBATIM)
    list(APPEND outputs ${dest}/${name})
  endforeach()
  add_custom_target(${ARG_TARGET} ALL DEPENDS ${outputs})
  install(FILES ${ARG_FILES} DESTINATION bin/${ARG_DESTINATION})
endfunction()
