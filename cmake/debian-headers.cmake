# toml++ and CLI11 for the cross build. Both are header-only, so the Windows build compiles the
# headers of the Debian packages the Linux build uses (scripts/install-deps.sh installs them)
# instead of keeping copies. Only their two folders are made visible, through links in the
# build folder: the host's /usr/include as a whole would shadow the cross compiler's headers.
set(debian_headers ${CMAKE_BINARY_DIR}/debian-headers)
file(MAKE_DIRECTORY ${debian_headers})
foreach(folder toml++ CLI)
  if(NOT IS_DIRECTORY /usr/include/${folder})
    message(FATAL_ERROR "/usr/include/${folder} is missing: run scripts/install-deps.sh")
  endif()
  file(CREATE_LINK /usr/include/${folder} ${debian_headers}/${folder} SYMBOLIC)
endforeach()

add_library(tomlplusplus::tomlplusplus INTERFACE IMPORTED)
target_include_directories(tomlplusplus::tomlplusplus INTERFACE ${debian_headers})
target_compile_definitions(tomlplusplus::tomlplusplus INTERFACE TOML_HEADER_ONLY=1)
add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 INTERFACE ${debian_headers})
