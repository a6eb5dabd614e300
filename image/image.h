// Entries of the image side used by the launcher. Each returns the request's
// exit status: 0 when it was carried out, 1 when it could not be.
#pragma once

#include <string>

namespace image {

// "indexation": rebuilds the image list and descriptor base.
int indexImage();

// "comparaison image PATH": scores the query against every image of its kind.
int searchImage(const std::string& path);

}  // namespace image
