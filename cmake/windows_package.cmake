# The release archive of a Windows build: cpack -G ZIP in the build folder
# makes HX_RPT-<version>-win32.zip or -win64.zip.  HX_RPT.exe with its
# HX_VENDOR.exe, HX_CHECK.exe,
# the example definition file and a README for the site at the top; the stand-in DLLs
# with the simulated plant only in simulator\, where they cannot be loaded
# instead of the vendor's.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(HX_WINDOWS_FLAVOUR win64)
else()
  set(HX_WINDOWS_FLAVOUR win32)
endif()

install(TARGETS HX_RPT HX_VENDOR HX_CHECK RUNTIME DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/examples/HX_RPT.INI DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/src/win32/README.txt DESTINATION .)
install(TARGETS LumoCom LumoErr LUMOMWD RUNTIME DESTINATION simulator)
install(FILES ${CMAKE_SOURCE_DIR}/examples/LUMOCOM.SIM DESTINATION simulator)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME HX_RPT)
set(CPACK_PACKAGE_FILE_NAME HX_RPT-${PROJECT_VERSION}-${HX_WINDOWS_FLAVOUR})
set(CPACK_STRIP_FILES TRUE)
include(CPack)
