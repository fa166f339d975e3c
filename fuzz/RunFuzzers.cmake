# Registers the fuzz targets of a KOBIN_FUZZ build with this build's CTest: each
# runs a bounded number of inputs from our fixtures, so CI catches a crash.
set(KOBIN_FUZZ_BUILD_DIR "" CACHE PATH "A KOBIN_FUZZ=ON build whose fuzz targets CTest runs")
set(KOBIN_FUZZ_RUNS 4000 CACHE STRING "Inputs each fuzz target runs under CTest")

if(KOBIN_FUZZ_BUILD_DIR)
  set(seeds_rtf ${PROJECT_SOURCE_DIR}/fuzz/seeds/rtf ${PROJECT_SOURCE_DIR}/tests/rtf/data)
  set(seeds_treestring ${PROJECT_SOURCE_DIR}/fuzz/seeds/treestring)
  set(seeds_picture ${PROJECT_SOURCE_DIR}/fuzz/seeds/picture)
  set(seeds_mhtml ${PROJECT_SOURCE_DIR}/fuzz/seeds/mhtml)
  foreach(target rtf_reader:rtf tree_string:treestring picture:picture mhtml:mhtml)
    string(REPLACE ":" ";" parts ${target})
    list(GET parts 0 name)
    list(GET parts 1 seeds)
    # New inputs go to the first folder, which lives in the build tree and is emptied before
    # each run, so that every run is as long as the first. A short run from one seed guards
    # each change; longer runs with other seeds look for new faults.
    set(corpus ${CMAKE_BINARY_DIR}/fuzz-corpus/${name})
    add_test(NAME fuzz_${name}
      COMMAND sh -c [[rm -rf "$0" && mkdir -p "$0" && exec "$@"]] ${corpus}
              ${KOBIN_FUZZ_BUILD_DIR}/fuzz/fuzz_${name} -seed=1 -runs=${KOBIN_FUZZ_RUNS} -max_total_time=120
              -timeout=30 -rss_limit_mb=2048 -print_final_stats=1 ${corpus} ${seeds_${seeds}})
    set_tests_properties(fuzz_${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
  endforeach()
  # The longest test of all starts first in a parallel run.
  set_tests_properties(fuzz_rtf_reader PROPERTIES COST 16)
endif()
