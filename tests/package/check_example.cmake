# Runs the example host offscreen with its dialogs closing themselves and checks
# that it opened the three flows' views and that no call failed or reported.
# In: EXAMPLE (program), SAMPLES (the samples folder), DATA (a fresh folder).
file(REMOVE_RECURSE ${DATA})
file(MAKE_DIRECTORY ${DATA})
set(ENV{QT_QPA_PLATFORM} offscreen)
set(ENV{ORVANE_EXAMPLE_AUTOCLOSE} 1)
execute_process(
  COMMAND ${EXAMPLE} ${SAMPLES}/dispatch/mobile-eschedule.xml ${SAMPLES}/reports/g_dispatch.rpt
          ${DATA}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 120)
message("${out}")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${EXAMPLE} ended with ${rc}\n${err}")
endif()
foreach(view "Dispatch View" "Part Authorization" "Authorization Response" "Claim Launch")
  if(NOT out MATCHES "  view: ${view}\n")
    message(FATAL_ERROR "${EXAMPLE} did not open ${view}")
  endif()
endforeach()
if(NOT out MATCHES "\n0 failed, 0 reported\n")
  message(FATAL_ERROR "a call of ${EXAMPLE} failed or reported an error\n${err}")
endif()
# RecalcAuths counted through the host's data command on the transport's tables.
file(READ ${DATA}/Orvane.ini ini)
if(NOT ini MATCHES "Acknowledgements=0")
  message(FATAL_ERROR "RecalcAuths wrote no count into ${DATA}/Orvane.ini")
endif()
