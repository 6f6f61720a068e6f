# Sampling, rotation, resampling and cropping; the packed-DIB reader; GDI exchange and drawing.
veltran_add_test(geometry
  SOURCES interp_test.cpp rotate_test.cpp resample_test.cpp
  LIBS veltran_image)
veltran_add_test(dibparse SOURCES dibparse_test.cpp LIBS veltran_image)
veltran_add_test(gdi_draw SOURCES gdi_draw_test.cpp LIBS veltran_image GUI)
