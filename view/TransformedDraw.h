// Drawing one surface onto another through an affine transformation: every destination pixel whose
// centre, mapped back through the transformation, falls inside the source rectangle takes the source
// colour there (nearest or bilinear, per the source's resampler). In opaque draw mode that colour is
// written; in blend mode it is blended over the destination with alpha = source alpha x master
// alpha / 255.
#pragma once

class TAffineTransformation;
class TBitmap32;

void DrawTransformed(TBitmap32& destination, const TBitmap32& source,
                     const TAffineTransformation& transformation);
