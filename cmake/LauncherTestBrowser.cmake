# The test browser (tools/testbrowser) as a CTest fixture of the Windows
# build: a setup test registers this build's DLL in the Wine prefix under
# the WebBrowser class id. It is part of the local world: every test that
# requires the dev portal's fixture gets it too (gtest_discover_tests cannot
# pass a list of fixtures), and a test may also ask for it alone:
#   PROPERTIES FIXTURES_REQUIRED ${LAUNCHER_TESTBROWSER_FIXTURE}
set(LAUNCHER_TESTBROWSER_FIXTURE testbrowser)

function(launcher_testbrowser_fixture)
  get_property(defined GLOBAL PROPERTY LAUNCHER_TESTBROWSER_FIXTURE_DEFINED)
  if(defined OR NOT TARGET testbrowser)
    return()
  endif()
  set_property(GLOBAL PROPERTY LAUNCHER_TESTBROWSER_FIXTURE_DEFINED TRUE)
  add_test(NAME testbrowser.register
           COMMAND ${CMAKE_SOURCE_DIR}/tools/testbrowser/register.sh $<TARGET_FILE:testbrowser>)
  set_tests_properties(testbrowser.register
                       PROPERTIES FIXTURES_SETUP "${LAUNCHER_TESTBROWSER_FIXTURE};${LAUNCHER_DEVPORTAL_FIXTURE}"
                                  LABELS fixture)
endfunction()
