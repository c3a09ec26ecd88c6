# The Windows tests run on the build machine under Wine: the runner gives each
# its own odbc.ini and the French regional settings, and the host's build of
# the sample database tool and the portal stand-in serves them.
set(QUILVANOR_HOST_BUILD_DIR "" CACHE PATH "Host build folder holding korva8-sample and portal-standin")
if(NOT QUILVANOR_HOST_BUILD_DIR)
    message(FATAL_ERROR "The Windows tests need QUILVANOR_HOST_BUILD_DIR (make test-windows sets it)")
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/tests/support/run-under-wine.sh)

# Host paths as Wine names them: the host's root is drive Z:.
function(quilvanor_wine_path out)
    set(paths)
    foreach(path ${ARGN})
        string(REPLACE "/" "\\" path "Z:${path}")
        list(APPEND paths "${path}")
    endforeach()
    string(REPLACE ";" "\\;" paths "${paths}") # a list within the ENVIRONMENT list
    set(${out} "${paths}" PARENT_SCOPE)
endfunction()

set(dll_folders ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS})
foreach(dll ${QUILVANOR_MINGW_RUNTIME})
    get_filename_component(folder ${dll} DIRECTORY)
    get_filename_component(folder ${folder} REALPATH)
    list(APPEND dll_folders ${folder})
endforeach()
list(REMOVE_DUPLICATES dll_folders)
quilvanor_wine_path(QUILVANOR_WINE_PATH ${dll_folders})

# The runner itself: a program that cannot start, or ends without running a
# test, is reported failed whatever Wine's status.
add_test(NAME windows_runner_fails_what_did_not_run
    COMMAND ${PROJECT_SOURCE_DIR}/tests/support/runner-fails-what-did-not-run.sh
        ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:test_common_text>)
set_tests_properties(windows_runner_fails_what_did_not_run PROPERTIES TIMEOUT 120)
