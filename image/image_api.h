// Export marking for the image library's public classes: the program exports
// them in the Windows build; natively the marking is empty.
#pragma once

#if defined(_WIN32)
#define VELTRAN_IMAGE_API __declspec(dllexport)
#else
#define VELTRAN_IMAGE_API
#endif
