# The codecs built on outside libraries, each held against its library.
veltran_add_test(jpg SOURCES jpg_test.cpp exif_test.cpp LIBS veltran_image Veltran::jpeg)
veltran_add_test(png SOURCES png_test.cpp LIBS veltran_image Veltran::png)
veltran_add_test(tif SOURCES tif_test.cpp LIBS veltran_image Veltran::tiff)
