# Point operations, colour models, neighbourhood filters, Fourier transform,
# unsharp mask and mixing, with the random source they share (portable).
target_sources(veltran_image PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/picrandom.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picprogress.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_pointops.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_colorspace.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_filters.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_fft.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_unsharp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_mix.cpp
)
