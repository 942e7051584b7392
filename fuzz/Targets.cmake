# The decoder fuzzers: fuzz/<name>_fuzz.cpp for each name. The replay test (tests/fuzz) and the
# libFuzzer build (fuzz/CMakeLists.txt, DAX_FUZZ=ON) both take the list from here.
set(DAX_FUZZ_TARGETS answer datafile simstate relay simrequest journal scheme scriptxml script scriptil reportxml reportobject reportfile preparedreport truetype rtf)
set(DAX_FUZZ_DIR ${CMAKE_CURRENT_LIST_DIR})

# What every target is built with: the skeleton, the scripted channel of the tests' support, the
# simulator library (which brings the device core, the channels and the platform layer), the
# script engine, the report model, the report engine and the report exports.
function(dax_fuzz_target_setup target)
  target_include_directories(${target} PRIVATE ${DAX_FUZZ_DIR} ${PROJECT_SOURCE_DIR}/tests/support)
  target_link_libraries(${target} PRIVATE daxsim daxscript daxreportmodel daxreportengine daxreportexport)
endfunction()
