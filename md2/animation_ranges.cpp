#include "md2/animation_ranges.h"

const AnimationRange AnimationRanges[AnimationCount] = {
    {0, 39},    {40, 45},   {46, 60},   {61, 66},   {67, 73},   {74, 95},   {96, 112},  {113, 122},
    {123, 135}, {136, 154}, {155, 161}, {162, 169}, {170, 177}, {178, 185}, {186, 190}, {191, 198},
};
