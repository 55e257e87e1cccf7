#include "core/image/png_builder.h"

#include <zlib.h>

#include <vector>

namespace rekal::test {

std::string deflate(std::string_view raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<Bytef> out(size);
    compress2(out.data(), &size, reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()),
              9);
    return std::string(reinterpret_cast<const char*>(out.data()), size);
}

} // namespace rekal::test
