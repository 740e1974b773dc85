cmake_policy(SET CMP0057 NEW)
# Fails unless the library's dynamic symbol table holds exactly the documented
# C functions (and the exported classes), and nothing internal.
execute_process(COMMAND nm -D --defined-only ${LIB} OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIB}")
endif()
set(expected
  gen__qtxmlif_add_document gen__qtxmlif_set_working_document gen__qtxmlif_del_document
  gen__qtxmlif_document_exist gen__qtxmlif_add_node gen__qtxmlif_open_node gen__qtxmlif_close_node
  gen__qtxmlif_add_attr gen__qtxmlif_add_text gen__qtxmlif_open_level gen__qtxmlif_close_level
  gen__qtxmlif_begin_traversion gen__qtxmlif_get_next_entity gen__qtxmlif_end_traversion
  gen__qtxmlif_get_next_child_node gen__qtxmlif_get_named_child_node
  gen__qtxmlif_get_named_attribute gen__qtxmlif_delete_node gen__qtxmlif_doc_to_string
  gen__qtxmlif_load gen__qtxmlif_save gen__qtxmlif_status_text gen__qtxmlif_last_error
  gen__qtxmlif_doc_to_utf8 gen__qtxmlif_version)
string(REGEX MATCHALL "[^\n]+" lines "${symbols}")
set(found "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^[0-9a-fA-F]* *[A-Za-z] " "" name "${line}")
  if(name MATCHES "^gen__qtxmlif_")
    list(APPEND found ${name})
    if(NOT name IN_LIST expected)
      message(FATAL_ERROR "internal function exported: ${name}")
    endif()
  elseif(name MATCHES "XmlManager|XmlDocument|NodeCursor|CursorRegistry|XmlLimits|OutputFile|zgqx")
    message(FATAL_ERROR "internal symbol exported: ${name}")
  elseif(name MATCHES "^gen__|^status_check")
    message(FATAL_ERROR "low-level function defined in the XML library: ${name}")
  endif()
endforeach()
foreach(name IN LISTS expected)
  if(NOT name IN_LIST found)
    message(FATAL_ERROR "not exported: ${name}")
  endif()
endforeach()
list(LENGTH found count)
message(STATUS "${count} C functions exported, nothing internal")
