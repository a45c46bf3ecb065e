#pragma once

#include <QImage>
#include <QString>

// Writes an image as a GIF89a file (one frame, 256-colour global table, LZW-compressed):
// Qt reads GIF but cannot write it. The image is reduced to 256 colours first.
bool writeGif(const QImage& image, const QString& path);
