# The image library's run-time modules: Vx7Com.so, Vx7File.so, Vx7Effect.so and
# Vx7VectCom.so in the program's folder. The program never links them; it
# opens them with LoadLibraryA. Only the entry points are exported.

# Internals shared by the modules (raster handles, resampling, file probing).
file(GLOB VXMODULE_INTERNALS CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/modules/*.cpp
     ${CMAKE_CURRENT_LIST_DIR}/modules/*.h)
list(FILTER VXMODULE_INTERNALS EXCLUDE REGEX "/Vx7[A-Za-z]+\\.cpp$")
list(FILTER VXMODULE_INTERNALS EXCLUDE REGEX "/VersionRecord\\.cpp$")
add_library(pictal_vxmodules STATIC ${VXMODULE_INTERNALS})
set_target_properties(pictal_vxmodules PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
target_include_directories(pictal_vxmodules PUBLIC ${CMAKE_CURRENT_LIST_DIR} ${CMAKE_CURRENT_LIST_DIR}/modules)
target_link_libraries(pictal_vxmodules PUBLIC pictal_platform pictal_vxcodecs Qt6::Gui)

# Each module carries its own version record (VersionRecord.h), numbered
# after the project's version: the compile definitions PICTAL_VERSION_MAJOR,
# _MINOR, _PATCH and _TWEAK (0 where the project's version leaves one out).
function(pictal_version_numbers out)
  set(numbers)
  foreach(part MAJOR MINOR PATCH TWEAK)
    set(number "${PROJECT_VERSION_${part}}")
    if(number STREQUAL "")
      set(number 0)
    endif()
    list(APPEND numbers PICTAL_VERSION_${part}=${number})
  endforeach()
  set(${out} "${numbers}" PARENT_SCOPE)
endfunction()
pictal_version_numbers(PICTAL_VERSION_NUMBERS)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/modules/VersionRecord.cpp PROPERTIES
                            COMPILE_DEFINITIONS "${PICTAL_VERSION_NUMBERS}")

foreach(module Vx7Com Vx7File Vx7Effect Vx7VectCom)
  add_library(${module} SHARED ${CMAKE_CURRENT_LIST_DIR}/modules/${module}.cpp
              ${CMAKE_CURRENT_LIST_DIR}/modules/VersionRecord.cpp)
  set_target_properties(${module} PROPERTIES PREFIX "" CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  target_link_libraries(${module} PRIVATE pictal_vxmodules pictal_platform pictal_vxcodecs Qt6::Gui)
  # Code from static libraries stays private to the module as well.
  target_link_options(${module} PRIVATE "LINKER:--exclude-libs,ALL")
endforeach()
