// Diagnostic dumps of image records, for inspecting an image by hand; neither
// the indexing nor the search calls them. Each dump is built as text first (so
// it can be checked byte for byte) and the afficher* calls print it on
// standard output.
#pragma once

#include <string>

#include "image/image_file.h"

namespace image {

std::string texteImageNB(const ImgNB& img);
std::string texteImageRGB(const ImgRGB& img);
std::string texteImageRGBEnc(const ImgRGB& img);
// The red, green and blue values of the pixel at line 1, column 1. An image
// smaller than 2 x 2 has no such pixel: the values are left out.
std::string texteImageRGBBit(const ImgRGB& img);
// The content that ecrireImage writes.
std::string texteEcrireImage(const ImgRGB& img);

void afficherImageNB(const ImgNB& img);
void afficherImageRGB(const ImgRGB& img);
void afficherImageRGBEnc(const ImgRGB& img);
void afficherImageRGBBit(const ImgRGB& img);

// Writes the dump of the three planes and the colour codes to `path` (by
// default "ecrireimage" in the working directory), creating or emptying it.
// Returns false, with one line on standard error, when it cannot be written.
bool ecrireImage(const ImgRGB& img, const std::string& path = "ecrireimage");

}  // namespace image
