# Builds patches.dat with pat2dat from freepats and the two tunes of blocks.dat (cmake -P).
# Inputs: PAT2DAT PREPARE_PATCHES DATAFILE FREEPATS_CONFIG FREEPATS_DIR WORK OUTPUT.

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

# pat2dat looks for the instruments beside the index, not in its "dir", so the index
# goes next to links to the instrument folders.
file(GLOB entries "${FREEPATS_DIR}/*")
foreach(entry IN LISTS entries)
  get_filename_component(name "${entry}" NAME)
  if(IS_DIRECTORY "${entry}")
    file(CREATE_LINK "${entry}" "${WORK}/${name}" SYMBOLIC)
  endif()
endforeach()

# The tunes as .mid files and the index renumbered the way pat2dat and DIGMID read it.
execute_process(COMMAND "${PREPARE_PATCHES}" "${DATAFILE}" "${FREEPATS_CONFIG}" "${WORK}"
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "patches.dat: cannot prepare the tunes and the index")
endif()

# Naming the tunes keeps only the instruments they play (the whole set is 15 MB);
# pat2dat insists on an output named .dat.
execute_process(
  COMMAND "${PAT2DAT}" -o -c patches.dat default.cfg starfield.mid game.mid
  WORKING_DIRECTORY "${WORK}"
  OUTPUT_VARIABLE log ERROR_VARIABLE log RESULT_VARIABLE failed)
file(WRITE "${WORK}/pat2dat.log" "${log}")
if(failed OR NOT EXISTS "${WORK}/patches.dat")
  message(FATAL_ERROR "patches.dat: pat2dat failed:\n${log}")
endif()
string(REGEX MATCHALL "Warning: [^\n]*" warnings "${log}")
foreach(w IN LISTS warnings)
  message(STATUS "patches.dat: ${w}")
endforeach()
# Moved only when complete, so an interrupted build never leaves half a patch set.
file(RENAME "${WORK}/patches.dat" "${OUTPUT}")
