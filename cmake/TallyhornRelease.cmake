# What the Windows programs a player downloads need beyond compiling: the
# same bytes from the same sources wherever they are built, a version
# resource in each program, and the download itself (the `dist` target).
# Included from the top directory before the programs are defined; nothing
# here changes the native builds.
if(NOT WIN32)
  # tallyhorn_release_program() is called by every build; off Windows there
  # is no version resource to add.
  function(tallyhorn_release_program target description)
  endfunction()
  return()
endif()

enable_language(RC)

# The same bytes wherever the tree sits: source and build paths are written
# relative (for __FILE__ and any debug info), and the linker leaves the time
# out of the PE header.
if(NOT MSVC)
  add_compile_options(
    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=>"
    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}/=>")
  add_link_options("LINKER:--no-insert-timestamp")
endif()

# The copyright line of the licence, as every program's version resource
# carries it.
file(STRINGS "${PROJECT_SOURCE_DIR}/LICENSE" TALLYHORN_COPYRIGHT REGEX "^Copyright " LIMIT_COUNT 1)
set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/LICENSE")

# tallyhorn_release_program(target description): a program that goes into
# the download. It gets a version resource (product name, the description,
# the project's version, its file name, the copyright line), compiled from
# res/version.rc.in beside its other resources, and a release build is
# linked without symbols: a player has no use for them, and they would carry
# the build paths of the toolchain's own libraries.
function(tallyhorn_release_program target description)
  set(TALLYHORN_FILE_DESCRIPTION "${description}")
  set(TALLYHORN_INTERNAL_NAME "${target}")
  set(TALLYHORN_ORIGINAL_FILENAME "${target}${CMAKE_EXECUTABLE_SUFFIX}")
  set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc")
  configure_file("${PROJECT_SOURCE_DIR}/res/version.rc.in" "${rc}" @ONLY)
  target_sources(${target} PRIVATE "${rc}")
  if(NOT MSVC)
    target_link_options(${target} PRIVATE "$<$<CONFIG:Release,MinSizeRel>:-s>")
  endif()
endfunction()

# The download: `cmake --build --preset mingw --target dist` writes
# dist/tallyhorn-<version>-win64.zip at the top of the source tree, and its
# SHA-256 beside it. The zip holds the two programs, the player's guide and
# the licence, both with Windows line ends, in that order; its entries are
# dated with the last commit's time (SOURCE_DATE_EPOCH when set), so it too
# is the same bytes on every rebuild.
set(TALLYHORN_DIST_ZIP "${PROJECT_SOURCE_DIR}/dist/tallyhorn-${PROJECT_VERSION}-win64.zip")
configure_file("${PROJECT_SOURCE_DIR}/docs/README.txt.in" "${PROJECT_BINARY_DIR}/dist/README.txt" @ONLY NEWLINE_STYLE CRLF)
configure_file("${PROJECT_SOURCE_DIR}/LICENSE" "${PROJECT_BINARY_DIR}/dist/LICENSE.txt" @ONLY NEWLINE_STYLE CRLF)
find_program(TALLYHORN_PYTHON NAMES python3)
if(TALLYHORN_PYTHON)
  add_custom_target(dist
    COMMAND "${TALLYHORN_PYTHON}" "${PROJECT_SOURCE_DIR}/scripts/make-zip.py"
            --source-dir "${PROJECT_SOURCE_DIR}" --output "${TALLYHORN_DIST_ZIP}"
            "tallyhorn.exe=$<TARGET_FILE:tallyhorn>"
            "tallyhorn-cli.exe=$<TARGET_FILE:tallyhorn-cli>"
            "README.txt=${PROJECT_BINARY_DIR}/dist/README.txt"
            "LICENSE.txt=${PROJECT_BINARY_DIR}/dist/LICENSE.txt"
    COMMENT "Writing ${TALLYHORN_DIST_ZIP}"
    VERBATIM)
else()
  add_custom_target(dist
    COMMAND "${CMAKE_COMMAND}" -E echo "python3 is missing: run 'make setup' (scripts/setup.sh)"
    COMMAND "${CMAKE_COMMAND}" -E false
    VERBATIM)
endif()
add_dependencies(dist tallyhorn tallyhorn-cli)
