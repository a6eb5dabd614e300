// The indexed items themselves, found through their base's list and read
// from the corpus directories: images as PNG, sounds as WAV, documents as
// UTF-8 text. The caller holds the store lock (shared).
#pragma once

#include <string>
#include <string_view>

#include "store/store.h"
#include "web/reply.h"

namespace web {

// An image file's bytes rendered as PNG (grey or colour as the file's header
// says). False, with the reason in `why`, when they are not a valid image.
bool RenderImage(std::string_view file_bytes, std::string* png, std::string* why);

// `id` is the identifier's decimal text (see ParseItem).
Reply ImageItem(const store::Store& store, const std::string& id);
Reply SoundItem(const store::Store& store, const std::string& id);
Reply TextItem(const store::Store& store, const std::string& id);

}  // namespace web
