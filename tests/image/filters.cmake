# Point operations, colour models, filters, Fourier transform, unsharp mask and mixing.
veltran_add_test(pointops SOURCES pointops_test.cpp jitter_test.cpp LIBS veltran_image)
veltran_add_test(filters SOURCES filters_test.cpp LIBS veltran_image)
veltran_add_test(colorspace SOURCES colorspace_test.cpp LIBS veltran_image)
veltran_add_test(fourier SOURCES fft_test.cpp LIBS veltran_image)
veltran_add_test(unsharp_mix SOURCES unsharp_test.cpp mix_test.cpp LIBS veltran_image)
