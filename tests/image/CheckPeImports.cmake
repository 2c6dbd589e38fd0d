# cmake -DOBJDUMP=<objdump> -DFILES=<exe>|<exe>... -P CheckPeImports.cmake
# Fails unless each file is a 32-bit x86 Windows GUI program that imports
# nothing but DLLs every Windows system has.
cmake_minimum_required(VERSION 3.25)
set(allowed KERNEL32.DLL USER32.DLL ADVAPI32.DLL MSVCRT.DLL)

string(REPLACE "|" ";" files "${FILES}")
set(problems "")
foreach(file IN LISTS files)
  execute_process(COMMAND "${OBJDUMP}" -p "${file}"
                  OUTPUT_VARIABLE dump ERROR_VARIABLE error RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -p ${file} failed: ${error}")
  endif()
  get_filename_component(name "${file}" NAME)

  if(NOT dump MATCHES "file format pei-i386")
    string(APPEND problems "\n  ${name}: not a pei-i386 image")
  endif()
  if(NOT dump MATCHES "\nSubsystem[ \t]+00000002[ \t]+\\(Windows GUI\\)")
    string(APPEND problems "\n  ${name}: subsystem is not Windows GUI (2)")
  endif()

  string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
  if(NOT imports)
    string(APPEND problems "\n  ${name}: no imports found (objdump output not understood)")
  endif()
  set(seen "")
  foreach(line IN LISTS imports)
    string(REGEX REPLACE "^DLL Name: " "" dll "${line}")
    string(STRIP "${dll}" dll)
    string(TOUPPER "${dll}" upper)
    list(APPEND seen "${dll}")
    if(NOT upper IN_LIST allowed)
      string(APPEND problems "\n  ${name}: imports ${dll}, which a clean system may lack")
    endif()
  endforeach()
  message(STATUS "${name}: ${seen}")
endforeach()

if(problems)
  message(FATAL_ERROR "Executable checks failed:${problems}")
endif()
