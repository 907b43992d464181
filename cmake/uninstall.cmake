# cmake -DPREFIX=<prefix> [-DDESTDIR=<dir>] [-DMANIFEST=<file>] -P uninstall.cmake
# Removes what `make install` put under the prefix, as its list of installed
# files says (share/games/talvemar/install-manifest.txt), and then the
# game's own folders once they are empty. Nothing else is touched: the
# player's folder, and anything added to the install's folders since, stay.
if(NOT PREFIX)
  message(FATAL_ERROR "uninstall: give the install's prefix: -DPREFIX=<folder>")
endif()
set(root "${DESTDIR}${PREFIX}")
if(NOT MANIFEST)
  set(MANIFEST "${root}/share/games/talvemar/install-manifest.txt")
endif()
if(NOT EXISTS "${MANIFEST}")
  message(FATAL_ERROR "uninstall: no game installed under ${root} (${MANIFEST} is missing)")
endif()

file(STRINGS "${MANIFEST}" entries)
set(folders "")
foreach(entry ${entries})
  if(IS_ABSOLUTE "${entry}")
    set(path "${DESTDIR}${entry}")
  else()
    set(path "${root}/${entry}")
  endif()
  if(EXISTS "${path}" OR IS_SYMLINK "${path}")
    if(IS_DIRECTORY "${path}" AND NOT IS_SYMLINK "${path}")
      message(WARNING "uninstall: ${path} is a folder now; left")
      continue()
    endif()
    message(STATUS "Removing: ${path}")
    file(REMOVE "${path}")
  endif()
  # Every folder up to the prefix that belongs to the game alone.
  get_filename_component(folder "${path}" DIRECTORY)
  file(RELATIVE_PATH below "${root}" "${folder}")
  while(below MATCHES "(^|/)talvemar(/|$)" AND NOT below MATCHES "^\\.\\.")
    list(APPEND folders "${folder}")
    get_filename_component(folder "${folder}" DIRECTORY)
    file(RELATIVE_PATH below "${root}" "${folder}")
  endwhile()
endforeach()

# Deepest first, each only when nothing is left in it.
list(REMOVE_DUPLICATES folders)
list(SORT folders ORDER DESCENDING)
foreach(folder ${folders})
  file(GLOB left "${folder}/*" "${folder}/.*")
  if(IS_DIRECTORY "${folder}" AND NOT IS_SYMLINK "${folder}" AND NOT left)
    file(REMOVE_RECURSE "${folder}")  # empty: nothing but the folder goes
  endif()
endforeach()
