// V4L2 names that older kernel headers lack.
#pragma once

#include <linux/videodev2.h>

#ifndef V4L2_PIX_FMT_Y12P
#define V4L2_PIX_FMT_Y12P v4l2_fourcc('Y', '1', '2', 'P')  // 12-bit greyscale, packed
#endif
