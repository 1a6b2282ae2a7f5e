# cmake -DCHECK=peimports -DOPTIONS="--allow|dir|..." -DEXE=probe.exe -P expect_refused.cmake
# The check must fail on the probe and name each import it must refuse, and nothing it may keep.
string(REPLACE "|" ";" options "${OPTIONS}")
execute_process(COMMAND ${CHECK} ${options} ${EXE} OUTPUT_VARIABLE out RESULT_VARIABLE rc)
message("${out}")
if(rc EQUAL 0)
  message(FATAL_ERROR "the import check passed a program with refused imports")
endif()
foreach(expected
    "imports GetTickCount64 from kernel32.dll, which"
    "do not both export"
    "imports @17 from comctl32.dll, which"
    "imports from msimg32.dll, which has no list"
    "3 import problem")
  string(FIND "${out}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "missing from the report: ${expected}")
  endif()
endforeach()
if(out MATCHES "GetTickCount[^6]")
  message(FATAL_ERROR "GetTickCount is on both systems and must not be reported")
endif()
