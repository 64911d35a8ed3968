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

# The modules' own tests and benchmark open the modules at run time, so they
# depend on them without linking them. Those targets are defined after this
# folder, hence the call at the end of the top-level folder.
function(pictal_vxmodules_consumers)
  set(vxlib_dir ${PROJECT_SOURCE_DIR}/src/vxlib)
  foreach(consumer test_Vx7Com test_Vx7File test_Vx7Effect test_Vx7FileFlashPix test_Vx7Metafile bench_vx7file bench_vx7file_memory bench_vxvector)
    if(TARGET ${consumer})
      add_dependencies(${consumer} Vx7Com Vx7File Vx7Effect Vx7VectCom)
      target_include_directories(${consumer} PRIVATE ${vxlib_dir})
    endif()
  endforeach()
  # Vector pictures are drawn by the metafile helper program beside the modules.
  if(TARGET pictal-metafile)
    add_dependencies(Vx7VectCom pictal-metafile)
  endif()
  # The version tests compare the modules' records with the project's version.
  pictal_version_numbers(version_numbers)
  foreach(consumer test_VersionInfo test_TVxSlideAboutForm)
    if(TARGET ${consumer})
      add_dependencies(${consumer} Vx7Com Vx7File Vx7Effect Vx7VectCom)
      target_compile_definitions(${consumer} PRIVATE ${version_numbers})
    endif()
  endforeach()
  if(TARGET test_Vx7File)
    # The tests write their JPEG 2000 samples with OpenJPEG.
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(VXTEST_OPENJP2 REQUIRED IMPORTED_TARGET GLOBAL libopenjp2)
    # ... and their TIFF samples with libtiff.
    pkg_check_modules(VXTEST_TIFF REQUIRED IMPORTED_TARGET GLOBAL libtiff-4)
    target_link_libraries(test_Vx7File PRIVATE PkgConfig::VXTEST_OPENJP2 PkgConfig::VXTEST_TIFF)
  endif()
  if(TARGET bench_vxvector)
    target_compile_definitions(bench_vxvector PRIVATE PICTAL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    # It writes its EMFs with the tests' metafile writer.
    target_sources(bench_vxvector PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/MetafileWriter.cpp)
    target_include_directories(bench_vxvector PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
  endif()
  if(TARGET bench_vx7file_memory)
    # The memory benchmark writes its large PNG row by row with libpng.
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(VXBENCH_PNG REQUIRED IMPORTED_TARGET GLOBAL libpng)
    target_link_libraries(bench_vx7file_memory PRIVATE PkgConfig::VXBENCH_PNG)
  endif()
  if(TARGET bench_vx7file)
    # TurboJPEG is the yardstick of the decoding benchmark (libturbojpeg0-dev).
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(VXBENCH_TURBOJPEG QUIET IMPORTED_TARGET GLOBAL libturbojpeg)
    if(VXBENCH_TURBOJPEG_FOUND)
      target_link_libraries(bench_vx7file PRIVATE PkgConfig::VXBENCH_TURBOJPEG)
      target_compile_definitions(bench_vx7file PRIVATE PICTAL_HAVE_TURBOJPEG=1)
    endif()
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL pictal_vxmodules_consumers)
