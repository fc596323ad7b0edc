# Velmora installed for other games, in the install component "velmora" (the
# Debian package libvelmora-dev; on Windows the SDK the packages target makes):
#   <includedir>/velmora/<layer>/*.h     the headers, in the source's layer folders
#   <libdir>/libvelmora.a                the library
#   <libdir>/cmake/Velmora/              find_package(Velmora): Velmora::Velmora
#   <libdir>/pkgconfig/velmora.pc        pkg-config --cflags --libs velmora
# Every header of a layer is installed, so whatever a public header includes is there.
include(CMakePackageConfigHelpers)
# The engine is released with the game, under the same number.
set(VELMORA_VERSION ${PROJECT_VERSION})
set(VELMORA_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/Velmora)
set(VELMORA_INSTALL_PKGCONFIGDIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

set_target_properties(velmora PROPERTIES EXPORT_NAME Velmora)
install(TARGETS velmora EXPORT VelmoraTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT velmora)
# A stripped installation (the package's) keeps the library's symbols and drops its
# debugging information, as Debian's own -dev packages do.
if(CMAKE_STRIP)
  install(CODE "if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-debug
                    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/$<TARGET_FILE_NAME:velmora>\")
  endif()" COMPONENT velmora)
endif()
foreach(layer ${VELMORA_LAYERS})
  # platform/windows/ holds sources and a header of the Windows build alone.
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/${layer}/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/velmora/${layer}
          COMPONENT velmora FILES_MATCHING PATTERN "*.h" PATTERN windows EXCLUDE)
endforeach()
install(EXPORT VelmoraTargets NAMESPACE Velmora:: DESTINATION ${VELMORA_INSTALL_CMAKEDIR} COMPONENT velmora)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/VelmoraConfig.cmake.in
  ${PROJECT_BINARY_DIR}/velmora/VelmoraConfig.cmake INSTALL_DESTINATION ${VELMORA_INSTALL_CMAKEDIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/velmora/VelmoraConfigVersion.cmake
  VERSION ${VELMORA_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/velmora/VelmoraConfig.cmake ${PROJECT_BINARY_DIR}/velmora/VelmoraConfigVersion.cmake
        DESTINATION ${VELMORA_INSTALL_CMAKEDIR} COMPONENT velmora)

# The pkg-config file finds its prefix from its own place, so an unpacked or
# staged tree works as the installed one does.
file(RELATIVE_PATH VELMORA_PC_PREFIX_FROM_PCFILEDIR /prefix/${VELMORA_INSTALL_PKGCONFIGDIR} /prefix)
string(REGEX REPLACE "/$" "" VELMORA_PC_PREFIX_FROM_PCFILEDIR "${VELMORA_PC_PREFIX_FROM_PCFILEDIR}")
if(WIN32)
  # SDL.h renames a game's main to SDL_main, which SDLmain's WinMain calls.
  set(VELMORA_PC_SYSTEM_LIBS "-lmingw32 -lSDLmain -lopengl32 -lgdi32")
else()
  set(VELMORA_PC_SYSTEM_LIBS "-lGL -lX11 -pthread")
endif()
configure_file(${PROJECT_SOURCE_DIR}/cmake/velmora.pc.in ${PROJECT_BINARY_DIR}/velmora/velmora.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/velmora/velmora.pc DESTINATION ${VELMORA_INSTALL_PKGCONFIGDIR} COMPONENT velmora)
