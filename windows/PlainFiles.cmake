# Which source files are plain C++: a file is plain when none of its
# includes is a Qt header or a header that only POSIX systems have, and every
# project header it includes is plain, with that header's own source file
# (the one beside it of the same name), which the linker would need.
# The answer for a file that is not plain names the chain of includes that
# ends at the first such header: "files/CsvRecord.h > <QFile>".

# Headers that only POSIX systems have, and folders of them: the list the
# platform header check uses too.
file(STRINGS ${MSRW_ROOT}/scripts/posix-headers.txt msrw_posix_lines REGEX "^[^#]")
set(MSRW_POSIX_HEADERS ${msrw_posix_lines})
list(FILTER MSRW_POSIX_HEADERS EXCLUDE REGEX "/$")
set(msrw_posix_folders ${msrw_posix_lines})
list(FILTER msrw_posix_folders INCLUDE REGEX "/$")
list(TRANSFORM msrw_posix_folders REPLACE "/$" "")
list(JOIN msrw_posix_folders "|" msrw_posix_folders)
set(MSRW_POSIX_FOLDERS "^(${msrw_posix_folders})/")

# The file a quoted include names: from src/ or tests/, else beside the includer.
function(msrw_resolve_include includer header out)
    get_filename_component(dir ${includer} DIRECTORY)
    foreach(candidate ${MSRW_ROOT}/src/${header} ${MSRW_ROOT}/tests/${header} ${dir}/${header})
        if(EXISTS ${candidate})
            get_filename_component(path ${candidate} ABSOLUTE)
            set(${out} ${path} PARENT_SCOPE)
            return()
        endif()
    endforeach()
    set(${out} "" PARENT_SCOPE)
endfunction()

# Why an angle-bracket header of `file` keeps it out; empty when it does not.
# A file of a windows/ folder is written for Windows: the C runtime's
# headers it includes (<fcntl.h>, <sys/stat.h>) are Windows' own there.
function(msrw_system_header_reason file header out)
    set(reason "")
    if(header MATCHES "^Q")
        set(reason "<${header}>")
    elseif(file MATCHES "/windows/[^/]*$")
    elseif(header IN_LIST MSRW_POSIX_HEADERS OR header MATCHES "${MSRW_POSIX_FOLDERS}")
        set(reason "<${header}> (POSIX)")
    endif()
    set(${out} "${reason}" PARENT_SCOPE)
endfunction()

# Why `file` is not plain; empty when it is. Answers are remembered; a file
# met again while its own answer is being worked out counts as plain there.
function(msrw_plain_reason file out)
    get_property(known GLOBAL PROPERTY "msrw_plain:${file}" SET)
    if(known)
        get_property(reason GLOBAL PROPERTY "msrw_plain:${file}")
        set(${out} "${reason}" PARENT_SCOPE)
        return()
    endif()
    set_property(GLOBAL PROPERTY "msrw_plain:${file}" "")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
    file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include")
    set(reason "")
    foreach(line IN LISTS includes)
        if(line MATCHES "<([^>]+)>")
            msrw_system_header_reason(${file} ${CMAKE_MATCH_1} reason)
        elseif(line MATCHES "\"([^\"]+)\"")
            set(header ${CMAKE_MATCH_1})
            msrw_resolve_include(${file} ${header} path)
            if(path)
                msrw_plain_reason(${path} sub)
                string(REGEX REPLACE "\\.h$" ".cpp" companion ${path})
                if(NOT sub AND NOT companion STREQUAL path AND NOT companion STREQUAL file
                   AND EXISTS ${companion})
                    msrw_plain_reason(${companion} sub)
                    get_filename_component(name ${companion} NAME)
                    if(sub)
                        set(sub "${name} > ${sub}")
                    endif()
                endif()
                if(sub)
                    set(reason "${header} > ${sub}")
                endif()
            endif()
        endif()
        if(reason)
            break()
        endif()
    endforeach()
    set_property(GLOBAL PROPERTY "msrw_plain:${file}" "${reason}")
    set(${out} "${reason}" PARENT_SCOPE)
endfunction()

# Splits `files` into the plain ones (`plain_out`) and appends a line a file
# to the listing `listing_var`: "in  src/link/Notation.cpp" or
# "out src/files/CsvRecord.cpp: <QFile>".
function(msrw_split_plain files plain_out listing_var)
    set(plain "")
    set(listing "${${listing_var}}")
    foreach(file IN LISTS files)
        msrw_plain_reason(${file} reason)
        file(RELATIVE_PATH rel ${MSRW_ROOT} ${file})
        if(reason)
            string(APPEND listing "out ${rel}: ${reason}\n")
        else()
            string(APPEND listing "in  ${rel}\n")
            list(APPEND plain ${file})
        endif()
    endforeach()
    set(${plain_out} "${plain}" PARENT_SCOPE)
    set(${listing_var} "${listing}" PARENT_SCOPE)
endfunction()
