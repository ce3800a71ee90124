#pragma once

#include <QImage>
#include <QSize>

// A photograph-like picture for benchmarks: gradients with noise, so JPEG and PNG coders
// work as hard as on a real photo. The same seed gives the same picture.
QImage photoLikePicture(QSize size, quint32 seed);
