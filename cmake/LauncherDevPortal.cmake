# The dev portal (tools/devportal) as a CTest fixture of the Windows build:
# a setup test starts it and points the Wine prefix's Internet settings at it
# as the proxy, a cleanup test undoes both. Tests that talk HTTP require it:
#   launcher_use_devportal(<test>...)
# or, for discovered tests, PROPERTIES FIXTURES_REQUIRED ${LAUNCHER_DEVPORTAL_FIXTURE}.
# While it runs, ${LAUNCHER_DEVPORTAL_DIR} holds "port" and "requests.log", and
# it serves the resource host's files from ${LAUNCHER_DEVPORTAL_RESOURCES}.
# libcurl (the event reporter) ignores the prefix's Internet settings and
# takes its proxy from the http_proxy environment variable instead; a test
# sets it from the "port" file (testsupport::UseDevPortalAsCurlProxy) before
# it starts the programs that report.
set(LAUNCHER_DEVPORTAL_FIXTURE devportal)
set(LAUNCHER_DEVPORTAL_DIR ${CMAKE_BINARY_DIR}/devportal)
set(LAUNCHER_DEVPORTAL_RESOURCES ${LAUNCHER_DEVPORTAL_DIR}/resources)
set(LAUNCHER_DEVPORTAL_SCRIPT ${CMAKE_SOURCE_DIR}/tools/devportal/fixture.sh)

function(launcher_devportal_fixture)
  get_property(defined GLOBAL PROPERTY LAUNCHER_DEVPORTAL_FIXTURE_DEFINED)
  if(defined)
    return()
  endif()
  set_property(GLOBAL PROPERTY LAUNCHER_DEVPORTAL_FIXTURE_DEFINED TRUE)
  # The resource host answers with the launcher's own version unless a test
  # says otherwise.
  file(MAKE_DIRECTORY ${LAUNCHER_DEVPORTAL_RESOURCES})
  file(WRITE ${LAUNCHER_DEVPORTAL_RESOURCES}/launcher.ver "${LAUNCHER_VERSION}\r\n")
  add_test(NAME devportal.start
           COMMAND ${LAUNCHER_DEVPORTAL_SCRIPT} start ${LAUNCHER_DEVPORTAL_DIR}
                   ${LAUNCHER_DEVPORTAL_RESOURCES})
  add_test(NAME devportal.stop COMMAND ${LAUNCHER_DEVPORTAL_SCRIPT} stop ${LAUNCHER_DEVPORTAL_DIR})
  set_tests_properties(devportal.start PROPERTIES FIXTURES_SETUP ${LAUNCHER_DEVPORTAL_FIXTURE}
                                                  LABELS fixture)
  set_tests_properties(devportal.stop PROPERTIES FIXTURES_CLEANUP ${LAUNCHER_DEVPORTAL_FIXTURE}
                                                 LABELS fixture)
endfunction()

function(launcher_use_devportal)
  launcher_devportal_fixture()
  set_tests_properties(${ARGN} PROPERTIES FIXTURES_REQUIRED ${LAUNCHER_DEVPORTAL_FIXTURE})
endfunction()
