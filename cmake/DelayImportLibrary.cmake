# Makes a delay-import library for a system DLL from its ordinary import
# library (MinGW): every function the import library names goes into a
# module definition, and dlltool turns that into a library whose calls load
# the DLL on the first call instead of at the program's start.
#   cmake -DNM=... -DDLLTOOL=... -DDLL=comdlg32 -DIMPORT_LIBRARY=... -DOUTPUT=... -P DelayImportLibrary.cmake
execute_process(COMMAND ${NM} -g ${IMPORT_LIBRARY} OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${NM} could not read ${IMPORT_LIBRARY}")
endif()
# Only the import symbols the library defines ("I"): it also holds a little
# code of its own, whose references to other DLLs (kernel32's LoadLibraryA)
# must not become imports from this one.
string(REGEX MATCHALL "[ \t]I __imp_[A-Za-z0-9_@?$]+" names "${symbols}")
list(TRANSFORM names REPLACE "^[ \t]I __imp_" "")
list(REMOVE_DUPLICATES names)
if(NOT names)
  message(FATAL_ERROR "${IMPORT_LIBRARY} names no functions")
endif()
string(JOIN "\n" exports ${names})
set(definition ${OUTPUT}.def)
file(WRITE ${definition} "LIBRARY ${DLL}.dll\nEXPORTS\n${exports}\n")
execute_process(COMMAND ${DLLTOOL} --def ${definition} --dllname ${DLL}.dll --output-delaylib ${OUTPUT}
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${DLLTOOL} could not make ${OUTPUT}")
endif()
