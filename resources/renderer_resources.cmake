# Pictures linked into the renderer (both platforms). They are made by
# tools/make_renderer_pictures.py and committed, so the build never runs the tool.
foreach(k RANGE 4)
  varenko_embed(varenko_renderer varenko_smoke${k} ${CMAKE_CURRENT_LIST_DIR}/smoke${k}.pgm)
endforeach()
varenko_embed(varenko_renderer varenko_clouds ${CMAKE_CURRENT_LIST_DIR}/clouds.pam)
