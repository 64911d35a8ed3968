# A small module that the module-loading tests open at run time. It lands in
# the tests' own folder (CMAKE_LIBRARY_OUTPUT_DIRECTORY), where LoadLibraryA
# looks first.
add_library(pictal_test_module SHARED ${CMAKE_CURRENT_LIST_DIR}/TestModule.cpp)
set_target_properties(pictal_test_module PROPERTIES PREFIX "" OUTPUT_NAME "TestModule")
if(TARGET test_Modules)
  add_dependencies(test_Modules pictal_test_module)
endif()
