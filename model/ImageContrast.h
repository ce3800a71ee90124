#pragma once

#include <QImage>
#include <QMetaType>

class ImageObject;

// One contrast change on its way to the loop thread. It names no dialog: the dialog may be
// closed before the change is applied. The source picture is a shared copy of the dialog's.
struct ContrastChange
{
    ImageObject *item = nullptr;
    int value = 10;  // factor x 10
    QImage source;
};
Q_DECLARE_METATYPE(ContrastChange)

// Scaling a picture's colours by a factor and rebuilding a picture item from the result.
class ImageContrast
{
public:
    // The picture as 32-bit ARGB with blue, green and red multiplied by factor (rounded to
    // the nearest, ties to even, saturated to 0..255). Alpha is kept: scaling it would make
    // a darker picture translucent, and its thumbnail would look lighter.
    static QImage scaled(const QImage &source, float factor);

    // Rebuilds the item's thumbnail, LED data and sampling preview from the source scaled by
    // value / 10 (blocking; run on the loop thread). False, with the item untouched, when
    // there is no source picture. The item's contrastFactor is left to the caller.
    static bool apply(const ContrastChange &change);
};
