# The layers' include views hold: a layer that includes a header of a layer
# it does not link fails to build. The probe is a source of scrivlet_text's
# (by its link) that includes listing/walk.h; it is never part of "all".
add_library(layering_probe OBJECT EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/text_includes_listing.cpp)
target_link_libraries(layering_probe PRIVATE scrivlet_text)
add_test(NAME layering_include_outside_links_fails
         COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DTARGET=layering_probe
                 "-DEXPECTED=listing/walk.h: No such file"
                 -P ${CMAKE_CURRENT_LIST_DIR}/expect_build_failure.cmake)
set_tests_properties(layering_include_outside_links_fails PROPERTIES TIMEOUT 300)
