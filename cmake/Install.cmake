# What `cmake --install` puts in place for hosts: the libraries, the headers
# their interfaces need, an exported CMake package (qorOrvaneUI::ui, ::runtime,
# ::widgets, ::external, ::storage, ::transport) and pkg-config files.
#
# The libraries are static or shared (BUILD_SHARED_LIBS); the export carries
# their link dependencies (Qt, pugixml) and the package's config finds them
# again for the host.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(ORVANE_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/qorOrvaneUI)
set(ORVANE_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/qorOrvaneUI)

# Installed targets keep their names in the tree (orvane::*) and are known to a
# host as qorOrvaneUI::<name>; the same names work in the tree too, so the
# examples build either way.
set(_orvane_exported
  qorOrvaneUI ui
  orvane_runtime runtime
  orvane_widgets widgets
  orvane_external external
  orvane_storage storage
  orvane_transport transport)
set(_orvane_targets)
while(_orvane_exported)
  list(POP_FRONT _orvane_exported target name)
  set_target_properties(${target} PROPERTIES EXPORT_NAME ${name})
  add_library(qorOrvaneUI::${name} ALIAS ${target})
  list(APPEND _orvane_targets ${target})
endwhile()

# The headers a host includes, as <qorOrvaneUI/...>: everything under
# include/qorOrvaneUI/ and nothing else. Views, modules, the storage layer and
# the transport's tables stay in src/ and are never installed. This list is the
# one place that says what is public; tests/package holds the install (and the
# tree) against it, so a header added to include/ must be named here too.
set(ORVANE_PUBLIC_HEADERS
  qorOrvaneUI/dispatch/clsShowDispatch.h
  qorOrvaneUI/authorization/Authorizationcls.h
  qorOrvaneUI/loss/eNOLcls.h
  qorOrvaneUI/host/HostBase.h
  qorOrvaneUI/runtime/ObjectRegistry.h
  qorOrvaneUI/runtime/Recordset.h
  qorOrvaneUI/runtime/Value.h
  qorOrvaneUI/runtime/VbError.h
  qorOrvaneUI/runtime/WindowHandle.h
  qorOrvaneUI/runtime/XmlDocument.h
  qorOrvaneUI/widgets/ScriptedUi.h
  qorOrvaneUI/widgets/Ui.h
  qorOrvaneUI/widgets/report/Report.h
  qorOrvaneUI/transport/NetworkAnswers.h
  qorOrvaneUI/transport/NetworkSimulator.h
  qorOrvaneUI/transport/SqlDataCommand.h
  qorOrvaneUI/transport/TransportClasses.h)
file(GLOB _orvane_external RELATIVE ${PROJECT_SOURCE_DIR}/include CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/include/qorOrvaneUI/external/*.h)
list(APPEND ORVANE_PUBLIC_HEADERS ${_orvane_external})
file(GLOB_RECURSE _orvane_in_include RELATIVE ${PROJECT_SOURCE_DIR}/include CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/include/*.h)
foreach(header IN LISTS _orvane_in_include)
  if(NOT header IN_LIST ORVANE_PUBLIC_HEADERS)
    message(FATAL_ERROR "include/${header} is not in ORVANE_PUBLIC_HEADERS (cmake/Install.cmake): "
                        "name it there, or move it to src/ if hosts must not see it")
  endif()
endforeach()
foreach(header IN LISTS ORVANE_PUBLIC_HEADERS)
  cmake_path(GET header PARENT_PATH subdir)
  install(FILES ${PROJECT_SOURCE_DIR}/include/${header}
          DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${subdir} COMPONENT Development)
endforeach()

# The version header, generated into the build tree and installed beside the
# other headers; hosts include it as <qorOrvaneUI/Version.h>.
configure_file(${CMAKE_CURRENT_LIST_DIR}/Version.h.in
  ${PROJECT_BINARY_DIR}/include/qorOrvaneUI/Version.h @ONLY)
target_include_directories(orvane_runtime PUBLIC
  $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>
  $<BUILD_INTERFACE:${PROJECT_BINARY_DIR}/include>
  $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
# The export header (src/qorOrvaneUI) lies beside it.
install(FILES ${PROJECT_BINARY_DIR}/include/qorOrvaneUI/Version.h
              ${PROJECT_BINARY_DIR}/include/qorOrvaneUI/Export.h
  DESTINATION ${ORVANE_INSTALL_INCLUDEDIR} COMPONENT Development)
list(APPEND ORVANE_PUBLIC_HEADERS qorOrvaneUI/Version.h qorOrvaneUI/Export.h)

# What a host needs beside the libraries: the default report template
# ShowDispatch is handed, the guide and the licence.
install(FILES ${PROJECT_SOURCE_DIR}/samples/reports/g_dispatch.rpt
  DESTINATION ${CMAKE_INSTALL_DATADIR}/qorOrvaneUI/reports COMPONENT Runtime)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/
  DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT Development)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
  DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT Development)

install(TARGETS ${_orvane_targets}
  EXPORT qorOrvaneUITargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime)
install(EXPORT qorOrvaneUITargets
  NAMESPACE qorOrvaneUI::
  DESTINATION ${ORVANE_INSTALL_CMAKEDIR}
  COMPONENT Development)

configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/qorOrvaneUIConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/qorOrvaneUIConfig.cmake
  INSTALL_DESTINATION ${ORVANE_INSTALL_CMAKEDIR})
# 0.x: a new minor version may change the interfaces.
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/qorOrvaneUIConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES
  ${CMAKE_CURRENT_BINARY_DIR}/qorOrvaneUIConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/qorOrvaneUIConfigVersion.cmake
  DESTINATION ${ORVANE_INSTALL_CMAKEDIR}
  COMPONENT Development)

# pkg-config: the files find their prefix from where they lie, so an installed
# tree can be moved.
file(RELATIVE_PATH ORVANE_PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
foreach(pc qorOrvaneUI qorOrvaneUI-transport)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/${pc}.pc.in ${CMAKE_CURRENT_BINARY_DIR}/${pc}.pc @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${pc}.pc
          DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT Development)
endforeach()
