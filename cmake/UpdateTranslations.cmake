# Extracts the texts of the library and of the report viewer into the
# translation template. One list of sources for `./dev translations` and for
# the test that fails when the committed template is stale.
#   cmake -DLUPDATE=... -DSOURCE_DIR=... -P UpdateTranslations.cmake
#     refreshes translations/qorOrvaneUI.ts in place;
#   add -DCHECK_DIR=folder to refresh a copy there instead and fail when the
#     copy differs from the committed file.
set(template ${SOURCE_DIR}/translations/qorOrvaneUI.ts)
set(target ${template})
if(CHECK_DIR)
  file(MAKE_DIRECTORY ${CHECK_DIR})
  set(target ${CHECK_DIR}/qorOrvaneUI.ts)
  file(COPY_FILE ${template} ${target})
endif()
execute_process(
  COMMAND ${LUPDATE} -silent -locations none -no-obsolete
          -I ${SOURCE_DIR}/src -I ${SOURCE_DIR}/include ${SOURCE_DIR}/src/qorOrvaneUI
          ${SOURCE_DIR}/src/runtime/widgets/report
          -ts ${target}
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "lupdate ended with ${rc}")
endif()
if(CHECK_DIR)
  file(SHA256 ${template} committed)
  file(SHA256 ${target} fresh)
  if(NOT committed STREQUAL fresh)
    execute_process(COMMAND diff -u ${template} ${target})
    message(FATAL_ERROR "translations/qorOrvaneUI.ts is stale: run ./dev translations "
                        "and commit the result")
  endif()
endif()
