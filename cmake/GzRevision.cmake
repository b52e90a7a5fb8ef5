# gz_revision_header(target): gives `target` the generated header
# app/revision.h, which defines GZ_REVISION: the git revision of the source
# tree, or "" outside a checkout (a source tarball). It is looked up at every
# build and the header is rewritten only when the revision changed, so a new
# commit recompiles one file.
function(gz_revision_header target)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/generated)
  set(header ${dir}/app/revision.h)
  add_custom_target(${target}_revision
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DOUTPUT=${header}
            -P ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/WriteRevision.cmake
    BYPRODUCTS ${header}
    COMMENT "Looking up the source revision"
    VERBATIM)
  add_dependencies(${target} ${target}_revision)
  target_include_directories(${target} PRIVATE ${dir})
endfunction()
