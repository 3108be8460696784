# Copies FROM to TO unless TO exists (cmake -P), so a player's edits survive rebuilds.
if(NOT EXISTS "${TO}")
  configure_file("${FROM}" "${TO}" COPYONLY)
endif()
