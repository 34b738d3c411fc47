// landscaper's sky: the six JPEG faces of the sky2 folder, painted from one function of the
// viewing direction (blue overhead, clouds, a hazy horizon with distant hills, fields below)
// so that they meet without a seam along every edge of the cube.
#pragma once

#include <string>

namespace resgen {

bool WriteSkyPictures(const std::string& folder);

}  // namespace resgen
