#pragma once

#include "tools/assets/Canvas.h"

// The title logo: "Quillfen" in block letters over a quill feather, 256 x 128.
Canvas DrawLogo();
