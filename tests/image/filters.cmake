# Point operations, colour models, filters, Fourier transform, unsharp mask and mixing.
veltran_add_test(pointops SOURCES pointops_test.cpp jitter_test.cpp LIBS veltran_image)
