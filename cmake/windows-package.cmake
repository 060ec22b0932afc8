# The release package for vehicle authors: a zip with the plug-in DLL, the sample settings
# file and the authors' guide, made by `cpack` in the windows build.
install(TARGETS vantor RUNTIME DESTINATION . LIBRARY DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/VantorConfig.ini DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/docs/vehicle-authors.md DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME vantor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_SYSTEM_NAME win64)
set(CPACK_PACKAGE_FILE_NAME vantor-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
