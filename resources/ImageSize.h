// Velmora resources: the size an image file declares, read before it is decoded.
#ifndef VELMORA_RESOURCES_IMAGESIZE_H
#define VELMORA_RESOURCES_IMAGESIZE_H

#include <string>

// Largest width and height of an image the game decodes, in pixels. SDL 1.2
// keeps a row's length in 16 bits, so a wider 32-bit image would overrun its
// pixel buffer; 8192 x 8192 x 4 bytes is also as much memory as one image gets.
constexpr long long MAX_IMAGE_SIDE = 8192;

// The formats whose size can be read before decoding.
enum class ImageFormat { Unknown, Png, Bmp, Ico, Cur, Gif, Jpeg };

// The format the first bytes of the image file `bytes` show: the one whose
// header ImageRefusal reads, and so the only decoder that may read the file.
ImageFormat ImageFormatOf(const std::string& bytes);

// Why the image file `bytes` must not be decoded, or "" when it may be: its
// header declares a side above MAX_IMAGE_SIDE, or it is not PNG, BMP, ICO,
// CUR, GIF or JPEG.
std::string ImageRefusal(const std::string& bytes);

#endif
