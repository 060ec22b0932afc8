# The release package for vehicle and route authors, made by `cpack` in the windows build: the
# plug-in DLL and its sample settings file, the test bench beside the DLL with the example
# lines, and the two guides.
install(TARGETS vantor vantor-sim RUNTIME DESTINATION . LIBRARY DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/VantorConfig.ini DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/docs/vehicle-authors.md ${PROJECT_SOURCE_DIR}/docs/scenarios.md
        DESTINATION .)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION examples FILES_MATCHING PATTERN "*.toml")

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME vantor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_SYSTEM_NAME win64)
set(CPACK_PACKAGE_FILE_NAME vantor-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
