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

# Public headers, each under the include root its target names, recorded (as
# the name a host includes) for the header self-containment test.
set_property(GLOBAL PROPERTY ORVANE_PUBLIC_HEADERS)
function(orvane_install_headers root destination)
  foreach(header IN LISTS ARGN)
    cmake_path(GET header PARENT_PATH subdir)
    install(FILES ${root}/${header} DESTINATION ${destination}/${subdir}
            COMPONENT Development)
    set_property(GLOBAL APPEND PROPERTY ORVANE_PUBLIC_HEADERS ${header})
  endforeach()
endfunction()

function(orvane_headers_in root out)
  file(GLOB_RECURSE headers RELATIVE ${root} CONFIGURE_DEPENDS ${root}/*.h)
  set(${out} ${headers} PARENT_SCOPE)
endfunction()

# The library: its three public classes and the host base classes; views and
# modules stay inside.
orvane_install_headers(${PROJECT_SOURCE_DIR}/src/qorOrvaneUI ${ORVANE_INSTALL_INCLUDEDIR}
  dispatch/clsShowDispatch.h
  authorization/Authorizationcls.h
  loss/eNOLcls.h
  host/HostBase.h)
orvane_headers_in(${PROJECT_SOURCE_DIR}/src/qorOrvaneUI/interfaces _external)
orvane_install_headers(${PROJECT_SOURCE_DIR}/src/qorOrvaneUI/interfaces
  ${ORVANE_INSTALL_INCLUDEDIR} ${_external})
foreach(part runtime runtime/widgets storage transport)
  orvane_headers_in(${PROJECT_SOURCE_DIR}/src/${part} _headers)
  list(FILTER _headers EXCLUDE REGEX "^widgets/")
  # The service and the network server are programs' parts, not installed.
  list(REMOVE_ITEM _headers NetworkClient.h NetworkServer.h TransportService.h RowText.h)
  cmake_path(GET part FILENAME _folder)
  orvane_install_headers(${PROJECT_SOURCE_DIR}/src/${part} ${ORVANE_INSTALL_INCLUDEDIR}/${_folder}
    ${_headers})
endforeach()

# The version header, generated into the build tree and installed beside the
# other headers; hosts include it as <qorOrvaneUI/Version.h>.
configure_file(${CMAKE_CURRENT_LIST_DIR}/Version.h.in
  ${PROJECT_BINARY_DIR}/include/qorOrvaneUI/Version.h @ONLY)
target_include_directories(orvane_runtime PUBLIC
  $<BUILD_INTERFACE:${PROJECT_BINARY_DIR}/include>
  $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
# The export header (src/qorOrvaneUI) lies beside it.
install(FILES ${PROJECT_BINARY_DIR}/include/qorOrvaneUI/Version.h
              ${PROJECT_BINARY_DIR}/include/qorOrvaneUI/Export.h
  DESTINATION ${ORVANE_INSTALL_INCLUDEDIR} COMPONENT Development)
set_property(GLOBAL APPEND PROPERTY ORVANE_PUBLIC_HEADERS qorOrvaneUI/Version.h
                                                          qorOrvaneUI/Export.h)

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
