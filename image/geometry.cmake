# Sampling, rotation, resampling and cropping (portable), the packed-DIB
# reader, and the exchange with GDI (Windows only).
target_sources(veltran_image PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/picture_interp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_rotate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_resample.cpp
)
target_sources(veltran_image PRIVATE ${CMAKE_CURRENT_LIST_DIR}/dibparse.cpp)
