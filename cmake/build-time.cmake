# The build date and time the Info dialog shows, in the form of __DATE__ ("Mar  5 2012") and
# __TIME__ ("13:36:44"), in UTC. They are the commit's time (or SOURCE_DATE_EPOCH, when set), so two
# builds of one commit are byte-identical; outside git they are the time of configuring.
# Sets KELVAST_BUILD_DATE and KELVAST_BUILD_TIME.
set(kelvast_epoch "$ENV{SOURCE_DATE_EPOCH}")
if(NOT kelvast_epoch)
    find_package(Git QUIET)
    if(GIT_FOUND)
        execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
                        WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE kelvast_epoch
                        OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        # A new commit configures again, so the time follows it.
        execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --absolute-git-dir
                        WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE kelvast_git_dir
                        OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        if(kelvast_git_dir AND EXISTS ${kelvast_git_dir}/logs/HEAD)
            set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                         ${kelvast_git_dir}/logs/HEAD)
        endif()
    endif()
endif()
if(NOT kelvast_epoch MATCHES "^[0-9]+$")
    string(TIMESTAMP kelvast_epoch "%s" UTC)
endif()

# string(TIMESTAMP) formats SOURCE_DATE_EPOCH in place of the current time.
set(kelvast_saved_epoch "$ENV{SOURCE_DATE_EPOCH}")
set(ENV{SOURCE_DATE_EPOCH} ${kelvast_epoch})
string(TIMESTAMP kelvast_month "%b" UTC)
string(TIMESTAMP kelvast_day "%d" UTC)
string(TIMESTAMP kelvast_year "%Y" UTC)
string(TIMESTAMP KELVAST_BUILD_TIME "%H:%M:%S" UTC)
set(ENV{SOURCE_DATE_EPOCH} "${kelvast_saved_epoch}")
# __DATE__ pads a one-digit day with a space.
string(REGEX REPLACE "^0" " " kelvast_day "${kelvast_day}")
set(KELVAST_BUILD_DATE "${kelvast_month} ${kelvast_day} ${kelvast_year}")
