# Runs the example host offscreen with its dialogs closing themselves and checks
# that every public method was called and the program ended normally.
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
foreach(method ShowDispatch ShowEschedule GetDiscounts GetAuths GetDamages ChooseDispatch
               PartAuthorization ShowAuth RecalcAuths VerifyFields SendeNOL ShowResponses
               PIDList NetIDList INSCOIDList InsurerIDList)
  if(NOT out MATCHES "(^|\n)${method}\n")
    message(FATAL_ERROR "${EXAMPLE} did not call ${method}")
  endif()
endforeach()
# The views it opened reached the transport's tables in the host's data folder.
if(NOT EXISTS ${DATA}/t.db)
  message(FATAL_ERROR "no transport database in ${DATA}")
endif()
