# Runs pivora-store on one golden case and compares its output with expected.txt.
#   -DTOOL=<pivora-store> -DCASE=<case dir> [-DEMULATOR=<wine>] [-DWINDOWS=1]
file(READ ${CASE}/args.txt args)
string(STRIP "${args}" args)
# Words split at blanks; backslashes in Windows paths stay as they are.
string(REGEX REPLACE "[ \t\r\n]+" ";" args "${args}")
set(root ${CASE}/root)
if(WINDOWS)
    # Wine shows the host's file system as drive Z:.
    string(REPLACE "/" "\\" root "Z:${root}")
endif()
execute_process(COMMAND ${EMULATOR} ${TOOL} --root ${root} ${args}
                OUTPUT_VARIABLE out RESULT_VARIABLE rc)
string(REPLACE "\r\n" "\n" out "${out}")
file(READ ${CASE}/expected.txt expected)
if(EXISTS ${CASE}/exit.txt)
    file(READ ${CASE}/exit.txt want_rc)
    string(STRIP "${want_rc}" want_rc)
else()
    set(want_rc 0)
endif()
if(NOT out STREQUAL expected)
    get_filename_component(name ${CASE} NAME)
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/golden-actual-${name}.txt "${out}")
    message(FATAL_ERROR "output differs from ${CASE}/expected.txt:\n${out}")
endif()
if(NOT rc STREQUAL want_rc)
    message(FATAL_ERROR "exit status ${rc}, expected ${want_rc}")
endif()
