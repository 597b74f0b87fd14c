#pragma once
// Pictures the stand-in site accepts, as a real site does: it reads the image header of every
// picture posted and refuses anything that is not a JPEG, PNG or GIF.

#include <string>

// A valid 1x1 GIF that carries the given bytes, any of them, in a comment block.
std::string gifPicture(const std::string& comment);
