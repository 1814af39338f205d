// The image files are assembled in verbatim; the build passes their paths.
#include "firmware_images.h"

#if defined(_WIN32)
#define LMX_RODATA ".section .rdata,\"dr\"\n"
#else
#define LMX_RODATA ".section .rodata\n"
#endif

#define LMX_STRINGIFY2(x) #x
#define LMX_STRINGIFY(x) LMX_STRINGIFY2(x)

__asm__(LMX_RODATA
        ".balign 16\n"
        ".globl lmx_firmware_image_a\n"
        "lmx_firmware_image_a:\n"
        ".incbin \"" LMX_STRINGIFY(LMX_FIRMWARE_IMAGE_A) "\"\n"
        ".balign 16\n"
        ".globl lmx_firmware_image_b\n"
        "lmx_firmware_image_b:\n"
        ".incbin \"" LMX_STRINGIFY(LMX_FIRMWARE_IMAGE_B) "\"\n"
        ".text\n");
