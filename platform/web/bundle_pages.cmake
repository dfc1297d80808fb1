# Bundles each page's script into the site: its entry with every module it imports, minified, in one
# file, and what it loads only when asked for in files of their own, so that a page's first paint
# waits on a few requests instead of one a module. The page's preload links name exactly the files
# its entry imports, read from the bundler's own account of what it wrote.
# cmake -DESBUILD=esbuild -DMODULES=modules -DSITE=site -DPAGES=index.html;... -DLIST=bundled-files.txt -P bundle_pages.cmake
# MODULES holds the pages (their policy already filled in) and the modules as written; LIST is where
# the files written are named, for the service worker, and read back to clear them at the next run.

cmake_policy(SET CMP0057 NEW)

# The files a previous run wrote go first: their names hash their contents, and a stale one would stay.
if(EXISTS "${LIST}")
  file(STRINGS "${LIST}" previous)
  foreach(name IN LISTS previous)
    file(REMOVE "${SITE}/${name}")
  endforeach()
endif()

# The files `output` imports before it runs, through every static import: the page's preloads.
function(static_imports meta output found_var)
  set(found ${${found_var}})
  string(JSON count LENGTH "${meta}" outputs "${output}" imports)
  if(count GREATER 0)
    math(EXPR last "${count} - 1")
    foreach(i RANGE ${last})
      string(JSON kind GET "${meta}" outputs "${output}" imports ${i} kind)
      string(JSON path GET "${meta}" outputs "${output}" imports ${i} path)
      if(kind STREQUAL "import-statement" AND NOT path IN_LIST found)
        list(APPEND found "${path}")
        static_imports("${meta}" "${path}" found)
      endif()
    endforeach()
  endif()
  set(${found_var} ${found} PARENT_SCOPE)
endfunction()

set(written "")
foreach(page IN LISTS PAGES)
  file(READ "${MODULES}/${page}" html)
  string(REGEX MATCHALL "<script type=\"module\" src=\"[^\"]+\"></script>" scripts "${html}")
  list(LENGTH scripts script_count)
  if(NOT script_count EQUAL 1)
    message(FATAL_ERROR "${page}: a page loads one module, its entry, and this one loads ${script_count}")
  endif()
  string(REGEX REPLACE ".*src=\"([^\"]+)\".*" "\\1" entry "${scripts}")

  set(meta_file "${LIST}.${page}.json")
  # Most of a bundle's functions are called as soon as it has loaded, while its page starts: the
  # banner asks the browser to compile them all while the file streams in, off the page's thread,
  # rather than each on its first call, on the page's thread, when the page is busiest.
  execute_process(
    COMMAND "${ESBUILD}" "${MODULES}/${entry}" --bundle --splitting --format=esm --minify --target=es2022
            "--banner:js=//# allFunctionsCalledOnLoad"
            --outdir=. --entry-names=[name] --chunk-names=[name]-[hash] --metafile=${meta_file} --log-level=warning
    WORKING_DIRECTORY "${SITE}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${page}: bundling ${entry} failed")
  endif()
  file(READ "${meta_file}" meta)

  string(JSON output_count LENGTH "${meta}" outputs)
  math(EXPR last "${output_count} - 1")
  foreach(i RANGE ${last})
    string(JSON output MEMBER "${meta}" outputs ${i})
    list(APPEND written "${output}")
  endforeach()

  set(preloads "")
  static_imports("${meta}" "${entry}" preloads)
  list(SORT preloads)
  list(TRANSFORM preloads REPLACE "(.+)" "<link rel=\"modulepreload\" href=\"\\1\">")
  list(JOIN preloads "\n" CORVEL_MODULE_PRELOADS)
  configure_file("${MODULES}/${page}" "${SITE}/${page}" @ONLY)
endforeach()

list(REMOVE_DUPLICATES written)
list(JOIN written "\n" written_lines)
file(WRITE "${LIST}" "${written_lines}\n")
