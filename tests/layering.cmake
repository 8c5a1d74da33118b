# The layering test: a source of src/ includes the headers of other parts by name only, so
# that only the include folders of the libraries it links can supply them. A path in a quoted
# include ("../app/FrmMain.h") would reach any part and defeat that.
# Run by ctest: cmake -DSOURCE_DIR=<src> -P layering.cmake
file(GLOB_RECURSE sources ${SOURCE_DIR}/*.cpp ${SOURCE_DIR}/*.h)
set(bad "")
foreach(source IN LISTS sources)
  file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]*/")
  foreach(line IN LISTS includes)
    file(RELATIVE_PATH name ${SOURCE_DIR} ${source})
    string(APPEND bad "\n  ${name}: ${line}")
  endforeach()
endforeach()
if(bad)
  message(FATAL_ERROR "includes with a path, which the build cannot check:${bad}")
endif()
