// Operations of the image side that no request reaches but that belong to
// its interface: diagnostic dumps of image records, for inspecting an image
// by hand. Each dump is built as text first (so it can be checked byte for
// byte); the afficher* calls print it on standard output.
#pragma once

#include <string>

#include "common/output.h"
#include "image/image_file.h"
#include "store/store.h"

namespace image {

std::string texteImageNB(const ImgNB& img);
std::string texteImageRGB(const ImgRGB& img);
std::string texteImageRGBEnc(const ImgRGB& img);
// The red, green and blue values of the pixel at line 1, column 1. An image
// smaller than 2 x 2 has no such pixel: the values are left out.
std::string texteImageRGBBit(const ImgRGB& img);
// The content that ecrireImage writes.
std::string texteEcrireImage(const ImgRGB& img);

void afficherImageNB(output::Sink& sink, const ImgNB& img);
void afficherImageRGB(output::Sink& sink, const ImgRGB& img);
void afficherImageRGBEnc(output::Sink& sink, const ImgRGB& img);
// Also reports on standard error when the image has no pixel (1, 1).
void afficherImageRGBBit(output::Sink& sink, const ImgRGB& img);

// Writes the dump of the three planes and the colour codes to "ecrireimage"
// in the store's working directory, creating or emptying it. Returns false,
// with one line on standard error, when it cannot be written.
bool ecrireImage(const store::Store& store, output::Sink& sink, const ImgRGB& img);

}  // namespace image
