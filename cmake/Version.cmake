# The version every program prints with --version, from one generated header
# (msrw/Version.h) that the programs get by linking msrw_version.
set(MSRW_VERSION_HEADER ${CMAKE_BINARY_DIR}/generated/msrw/Version.h)
add_custom_target(msrw_version_header
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DOUTPUT=${MSRW_VERSION_HEADER}
            -DPROJECT_VERSION=${PROJECT_VERSION} -P ${CMAKE_CURRENT_LIST_DIR}/WriteVersion.cmake
    BYPRODUCTS ${MSRW_VERSION_HEADER}
    COMMENT "Version header"
    VERBATIM)
add_library(msrw_version INTERFACE)
target_include_directories(msrw_version INTERFACE ${CMAKE_BINARY_DIR}/generated)
add_dependencies(msrw_version msrw_version_header)
