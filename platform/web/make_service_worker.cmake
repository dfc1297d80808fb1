# Writes the site's service worker from its template: the list of the site's files it keeps, and the
# version it keeps them under, a hash of every file's name and contents, so that any change to the
# site makes a new worker (and a new cache) and an unchanged site keeps the old one.
# FILES names one or more lists of the site's files, a name a line.
# cmake -DSITE=site -DFILES=site-files.txt;bundled-files.txt -DTEMPLATE=service-worker.js -DCORVEL_LEVEL_FILE=GameData.dat -DCORVEL_KEPT_COPY_HEADER=... -P make_service_worker.cmake
set(names "")
foreach(list_file IN LISTS FILES)
  file(STRINGS "${list_file}" listed)
  list(APPEND names ${listed})
endforeach()
list(REMOVE_DUPLICATES names)
list(SORT names)
set(fingerprint "")
set(quoted "")
foreach(name IN LISTS names)
  if(NOT EXISTS "${SITE}/${name}")
    message(FATAL_ERROR "${name} is listed for the service worker but is not in the site folder ${SITE}")
  endif()
  file(SHA256 "${SITE}/${name}" hash)
  string(APPEND fingerprint "${name} ${hash}\n")
  list(APPEND quoted "\"${name}\"")
endforeach()
string(SHA256 CORVEL_SITE_VERSION "${fingerprint}")
string(SUBSTRING "${CORVEL_SITE_VERSION}" 0 16 CORVEL_SITE_VERSION)
list(JOIN quoted ",\n  " CORVEL_SITE_FILES)
configure_file("${TEMPLATE}" "${SITE}/service-worker.js" @ONLY)
