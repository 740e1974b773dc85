# Runs examples/xmlwalk as the README does, on examples/sample.xml, and a
# counted build of it (every string copy released) on the sample and on a
# missing file, which must fail with the status code and a message.
#   XMLWALK, XMLWALK_COUNTED, SAMPLE, WORK_DIR

function(run_walk program file)
  execute_process(COMMAND ${program} ${file}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE error)
  set(result "${result}" PARENT_SCOPE)
  set(output "${output}" PARENT_SCOPE)
  set(error "${error}" PARENT_SCOPE)
endfunction()

# The sample's walk, each start line with its attributes in either order.
set(expected
  "^<addressBook owner=\"Zarnet\" >"
  "^\t<person (id=\"1\" city=\"Graz\"|city=\"Graz\" id=\"1\") >"
  "^\t\t<name >"
  "^\t\t\t Anna Berger"
  "^\t\t</name>"
  "^\t\t<phone kind=\"mobile\" >"
  "^\t\t\t \\+43 660 1234567"
  "^\t\t</phone>"
  "^\t</person>"
  "^\t<person (id=\"2\" city=\"Zürich\"|city=\"Zürich\" id=\"2\") >"
  "^\t\t<name >"
  "^\t\t\t Jürg Müller"
  "^\t\t</name>"
  "^\t\t<note >"
  "^\t\t\t Prefers <email> to phone calls\\."
  "^\t\t</note>"
  "^\t</person>"
  "^</addressBook>")

foreach(program ${XMLWALK} ${XMLWALK_COUNTED})
  run_walk(${program} ${SAMPLE})
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${program} ${SAMPLE} exited with ${result}:\n${output}${error}")
  endif()
  string(REPLACE ";" "\\;" output_escaped "${output}")
  string(REGEX REPLACE "\n$" "" output_trimmed "${output_escaped}")
  string(REPLACE "\n" ";" lines "${output_trimmed}")
  list(LENGTH lines count)
  list(LENGTH expected expected_count)
  if(NOT count EQUAL expected_count)
    message(FATAL_ERROR "${program}: ${count} lines instead of ${expected_count}:\n${output}")
  endif()
  foreach(i RANGE 0 ${count})
    if(i EQUAL count)
      break()
    endif()
    list(GET lines ${i} line)
    list(GET expected ${i} pattern)
    if(NOT line MATCHES "${pattern}$")
      message(FATAL_ERROR "${program}: line ${i} \"${line}\" does not match \"${pattern}\"\n${output}")
    endif()
  endforeach()
endforeach()
if(NOT error MATCHES "xmlwalk copies: ([0-9]+) made, ([0-9]+) released")
  message(FATAL_ERROR "no copy count from ${XMLWALK_COUNTED}: ${error}")
endif()
if(CMAKE_MATCH_1 LESS 40)
  message(FATAL_ERROR "only ${CMAKE_MATCH_1} copies made on the sample")
endif()

# Failures: non-zero exit, the status code, a message.
file(MAKE_DIRECTORY ${WORK_DIR})
file(WRITE ${WORK_DIR}/broken.xml "<a>\n<b>\n</a>\n")
foreach(case "missing.xml;14603" "broken.xml;14605" ".;14604")
  list(GET case 0 name)
  list(GET case 1 status)
  foreach(program ${XMLWALK} ${XMLWALK_COUNTED})
    run_walk(${program} ${WORK_DIR}/${name})
    if(result EQUAL 0 OR NOT error MATCHES "xmlwalk: .*status ${status}")
      message(FATAL_ERROR "${program} ${name}: exit ${result}, stderr:\n${error}")
    endif()
    if(program STREQUAL XMLWALK_COUNTED AND result EQUAL 3)
      message(FATAL_ERROR "${program} ${name} left copies unreleased:\n${error}")
    endif()
  endforeach()
endforeach()
run_walk(${XMLWALK} "")
if(result EQUAL 0)
  message(FATAL_ERROR "xmlwalk without a file exited with 0")
endif()
