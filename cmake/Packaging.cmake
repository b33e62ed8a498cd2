# The Windows ZIP: Kavro.exe and the README at the top, to go beside the vendor's
# USBCDDLL.dll; the simulated USBCDDLL.dll in a folder of its own, so that a user
# who unpacks the ZIP next to the vendor's library never runs the simulator by
# mistake.
install(TARGETS Kavro RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
install(TARGETS USBCDDLL RUNTIME DESTINATION simulator LIBRARY DESTINATION simulator)
install(FILES ${PROJECT_SOURCE_DIR}/sim/USBCDSIM.ini DESTINATION simulator)

# The package's programs go without their debug information (Kavro.exe shrinks from
# about 1.9 MB to about 300 kB); the builds in bin/ keep it, for the tests and the
# debugger.
set(CPACK_STRIP_FILES TRUE)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Kavro)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Kavro-${PROJECT_VERSION}-win32)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
