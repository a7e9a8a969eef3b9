# Compiled translations (.qm) for the library's texts: one per
# translations/qorOrvaneUI_<locale>.ts a shop contributes, and the pseudo-locale
# "pseudo" made from the template. Built into build/translations and installed
# to share/qorOrvaneUI/translations, where a host's QTranslator finds them.
# The Qt translation tools come with Qt's l10n tools package; without them the
# library still builds, with no .qm files.
find_program(ORVANE_LUPDATE lupdate
  HINTS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS} ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_LIBEXECS}
        /usr/lib/qt6/bin NO_DEFAULT_PATH)
find_program(ORVANE_LRELEASE lrelease
  HINTS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS} ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_LIBEXECS}
        /usr/lib/qt6/bin NO_DEFAULT_PATH)

set(ORVANE_TRANSLATIONS_DIR ${PROJECT_BINARY_DIR}/translations)
set(ORVANE_INSTALL_TRANSLATIONSDIR ${CMAKE_INSTALL_DATADIR}/qorOrvaneUI/translations)
if(NOT ORVANE_LRELEASE)
  message(STATUS "lrelease not found: no .qm translations are built")
  return()
endif()

set(template ${PROJECT_SOURCE_DIR}/translations/qorOrvaneUI.ts)
set(pseudo_ts ${ORVANE_TRANSLATIONS_DIR}/qorOrvaneUI_pseudo.ts)
add_custom_command(OUTPUT ${pseudo_ts}
  COMMAND ${CMAKE_COMMAND} -DIN=${template} -DOUT=${pseudo_ts}
          -P ${CMAKE_CURRENT_LIST_DIR}/PseudoTranslation.cmake
  DEPENDS ${template} ${CMAKE_CURRENT_LIST_DIR}/PseudoTranslation.cmake
  COMMENT "Pseudo-translation of the library's texts")
file(GLOB shop_ts CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/translations/qorOrvaneUI_*.ts)
set(qm_files)
foreach(ts IN LISTS shop_ts pseudo_ts)
  cmake_path(GET ts STEM name)
  set(qm ${ORVANE_TRANSLATIONS_DIR}/${name}.qm)
  add_custom_command(OUTPUT ${qm}
    COMMAND ${ORVANE_LRELEASE} -silent ${ts} -qm ${qm}
    DEPENDS ${ts}
    COMMENT "Compiling ${name}.qm")
  list(APPEND qm_files ${qm})
endforeach()
add_custom_target(orvane_translations ALL DEPENDS ${qm_files})
install(FILES ${qm_files} DESTINATION ${ORVANE_INSTALL_TRANSLATIONSDIR} COMPONENT Runtime)
