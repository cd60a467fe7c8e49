# Writes the version header: the project version, and the checkout's
# description after it when the sources are a git checkout. Run at every
# build, so that a new commit shows without configuring again; the header is
# rewritten only when its text changes, so nothing is recompiled otherwise.
#
#   cmake -DSOURCE_DIR=... -DOUTPUT=... -DPROJECT_VERSION=... -P WriteVersion.cmake
set(MSRW_VERSION_TEXT "${PROJECT_VERSION}")
find_program(GIT git)
if(GIT AND EXISTS "${SOURCE_DIR}/.git")
    execute_process(COMMAND "${GIT}" -C "${SOURCE_DIR}" describe --tags --always --dirty
        OUTPUT_VARIABLE described OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE failed ERROR_QUIET)
    if(NOT failed AND described)
        set(MSRW_VERSION_TEXT "${PROJECT_VERSION} (${described})")
    endif()
endif()
configure_file("${CMAKE_CURRENT_LIST_DIR}/Version.h.in" "${OUTPUT}" @ONLY)
